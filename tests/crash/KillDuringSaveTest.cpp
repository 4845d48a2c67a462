// A save killed at any moment leaves every file it writes either as the
// last completed save left it or as the killed one meant it, Load then
// brings back one whole list, and the next start shows no fewer entries
// than the last completed save, or says that the save did not finish and
// brings the whole list back when told to.
#include "WinFileSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>

#include "Backup.h"
#include "FillScript.h"
#include "LineBreaks.h"
#include "MemoryEntryView.h"
#include "Paths.h"
#include "SaveGeneration.h"
#include "ScriptedBoxes.h"
#include "WinProfileFile.h"
#include "WinRegistry.h"
#include "Workspace.h"

namespace tavro::test {
namespace {

using Clock = std::chrono::steady_clock;

std::string ReadBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(none)";
  std::string bytes;
  char chunk[65536];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
    bytes.append(chunk, read);
  CloseHandle(file);
  return bytes;
}

std::vector<TTempSec> Records(int generation) {
  std::vector<TTempSec> records;
  for (const TSection& entry : Generation(generation))
    records.push_back({entry.Title, EncodeLineBreaks(entry.Content)});
  return records;
}

class KillDuringSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    work_ = std::string(temp) + "TavroKill." +
            std::to_string(GetCurrentProcessId());
    CreateDirectoryA(work_.c_str(), nullptr);
    key_ = "\\Software\\TavroKillTest." +
           std::to_string(GetCurrentProcessId()) + "\\";
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, key_.substr(1).c_str());
    files_.RemoveFile(BackupPath(work_));
    for (int i = 0; i < kEntries; ++i)
      files_.RemoveFile(ScriptPath(work_, "Entry " + std::to_string(i)));
    // What a killed save left half-way.
    for (const std::string& folder : {work_, ScriptFolder(work_)})
      for (const std::string& name : files_.FindFiles(folder + "\\tav*.tmp"))
        files_.RemoveFile(folder + "\\" + name);
    RemoveDirectoryA(ScriptFolder(work_).c_str());
    RemoveDirectoryA(work_.c_str());
  }

  // Starts a save of that generation; killed `after` into the save, or run
  // to its end when `after` is negative. Returns how long the save ran.
  Clock::duration Save(int generation, Clock::duration after) {
    const std::string event =
        "TavroKillTest.Saving." + std::to_string(GetCurrentProcessId());
    HANDLE saving = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    // The key without its last backslash, which would escape the quote.
    std::string command = std::string("\"Z:") + SAVE_VICTIM + "\" \"" + work_ +
                          "\" \"" + key_.substr(0, key_.size() - 1) + "\" " +
                          std::to_string(generation) + " " + event;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE,
                               0, nullptr, nullptr, &startup, &process))
        << command;
    HANDLE begun[] = {saving, process.hProcess};
    WaitForMultipleObjects(2, begun, FALSE, 60000);
    const auto start = Clock::now();
    if (after.count() < 0) {
      WaitForSingleObject(process.hProcess, 120000);
      DWORD code = 99;
      GetExitCodeProcess(process.hProcess, &code);
      EXPECT_EQ(code, 0u) << "generation " << generation;
    } else {
      const auto millis =
          std::chrono::duration_cast<std::chrono::milliseconds>(after);
      if (WaitForSingleObject(process.hProcess,
                              static_cast<DWORD>(millis.count())) ==
          WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 9);
      WaitForSingleObject(process.hProcess, 10000);
    }
    const Clock::duration ran = Clock::now() - start;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(saving);
    return ran;
  }

  // The backup file and every script, by path.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files{
        {BackupPath(work_), ReadBytes(BackupPath(work_))}};
    for (int i = 0; i < kEntries; ++i) {
      const std::string path = ScriptPath(work_, "Entry " + std::to_string(i));
      files[path] = ReadBytes(path);
    }
    return files;
  }

  // What a whole save of that generation writes, by path.
  std::map<std::string, std::string> Written(int generation) const {
    std::map<std::string, std::string> files{
        {BackupPath(work_), BackupText(Records(generation))}};
    for (const TSection& entry : Generation(generation))
      files[ScriptPath(work_, entry.Title)] = FillScriptText(entry.Content);
    return files;
  }

  // A start of the program: the list it reads, answering the question of
  // an unfinished save, if one is asked, with `answer`; then Load, if told.
  std::vector<TSection> Started(Answer answer, bool load, bool* asked) {
    MemoryEntryView view;
    ScriptedBoxes boxes;
    win::WinRegistry registry;
    win::WinProfileFile profiles;
    TWorkspace ws(view, boxes, {registry, files_, profiles}, key_);
    ws.Start(work_);
    boxes.answers = {answer};
    try {
      ws.LoadFromRegistry();
    } catch (const TavroError&) {
    }
    if (asked)
      *asked = !boxes.shown.empty() &&
               boxes.shown[0].kind == ScriptedBoxes::Shown::YesNo;
    if (load) ws.LoadBtnClick();
    return ws.Model.Sections();
  }

  win::WinFileSystem files_;
  std::string work_;
  std::string key_;
};

TEST_F(KillDuringSaveTest, EveryFileIsWholeAndNoStartLosesEntriesUnasked) {
  using std::chrono::milliseconds;
  Save(0, Clock::duration(-1));
  const Clock::duration full = Save(1, Clock::duration(-1));
  std::map<std::string, std::string> before = Files();
  ASSERT_EQ(before, Written(1));
  // Closely over the first 50 ms, where the registry is emptied, then
  // spread over the rest.
  std::vector<Clock::duration> moments;
  for (int ms : {1, 2, 4, 6, 8, 10, 15, 20, 25, 30, 40, 50})
    moments.push_back(milliseconds(ms));
  for (int k = 1; k <= 16; ++k)
    moments.push_back(milliseconds(50) + (full - milliseconds(50)) * k / 17);
  std::string seen;
  for (std::size_t m = 0; m < moments.size(); ++m) {
    const int generation = static_cast<int>(m) + 2;
    const auto at = std::chrono::duration_cast<milliseconds>(moments[m]);
    const std::string moment =
        "killed " + std::to_string(at.count()) + " ms in";
    Save(generation, moments[m]);
    const std::map<std::string, std::string> after = Files();
    const std::map<std::string, std::string> whole = Written(generation);
    for (const auto& [path, bytes] : after)
      ASSERT_TRUE(bytes == before.at(path) || bytes == whole.at(path))
          << moment << ": " << path << ", " << bytes.size() << " bytes";
    const std::string& backup = after.at(BackupPath(work_));
    int loaded = -1;
    for (int g = 0; g <= generation; ++g)
      if (backup == BackupText(Records(g))) loaded = g;
    ASSERT_GE(loaded, 0);
    EXPECT_EQ(Started(Answer::No, true, nullptr), Generation(loaded)) << moment;

    bool asked = false;
    const std::size_t shown = Started(Answer::No, false, &asked).size();
    EXPECT_TRUE(asked || shown >= kEntries)
        << moment << ": " << shown << " entries at the next start, unasked";
    std::size_t restored = 0;
    if (asked) {
      const std::vector<TSection> list = Started(Answer::Yes, false, nullptr);
      EXPECT_EQ(list, Generation(loaded)) << moment;
      restored = list.size();
    }
    seen +=
        moment + " (of " +
        std::to_string(std::chrono::duration_cast<milliseconds>(full).count()) +
        "): " + std::to_string(shown) + " entries at the next start, " +
        (asked ? "asked; after Yes " + std::to_string(restored)
               : std::string("not asked")) +
        "\n";
    before = after;
  }
  std::fputs(seen.c_str(), stdout);
}

}  // namespace
}  // namespace tavro::test
