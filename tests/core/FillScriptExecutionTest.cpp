// Runs the generated fill scripts in node: comparing bytes cannot show
// whether a browser would type the Content back exactly.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CodePages.h"
#include "FillScript.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;

std::string Hex(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
  }
  return out;
}

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

struct NodeResult {
  int status = -1;
  std::string output;
};

// One folder of scripts plus the manifest that run_fill_scripts.js reads.
class ScriptFolder {
 public:
  ScriptFolder() {
    std::string pattern =
        (fs::temp_directory_path() / "tavro-fill-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
  }
  ~ScriptFolder() {
    std::error_code ignored;
    if (!dir_.empty()) fs::remove_all(dir_, ignored);
  }
  bool Ok() const { return !dir_.empty(); }

  // type "-" leaves the element without a type; typed nullptr: nothing.
  void Add(const std::string& script, const std::string& type,
           const std::string* typed) {
    const std::string name = "case" + std::to_string(count_++) + ".htm";
    std::ofstream(dir_ / name, std::ios::binary) << script;
    manifest_ += name + "\t" + type + "\t" +
                 (typed ? "=" + Hex(*typed) : std::string("-")) + "\n";
  }

  // encoding: how the browser decodes the page ("shift_jis", "gbk").
  NodeResult Run(const std::string& encoding = "latin1") const {
    std::ofstream(dir_ / "manifest.txt", std::ios::binary) << manifest_;
    const std::string runner =
        std::string(TAVRO_SOURCE_DIR) + "/tests/core/run_fill_scripts.js";
    const std::string command = "node " + Quoted(runner) + " " +
                                Quoted(dir_.string()) + " " + encoding +
                                " 2>&1";
    NodeResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    std::size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
      result.output.append(buffer, got);
    }
    const int status = pclose(pipe);
    if (status != -1 && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    if (result.status == 127) {
      result.output += "\n(node not found: install the nodejs package)";
    }
    return result;
  }

 private:
  fs::path dir_;
  std::string manifest_;
  int count_ = 0;
};

const std::vector<std::string>& HardContents() {
  static const std::vector<std::string> contents = {
      "",
      "plain text",
      "say \"hi\"",
      "it's 'quoted'",
      "C:\\temp",
      "ends with a backslash\\",
      "\\\\\\\\",
      "\\\"",
      "typed \\r\\n by hand",
      "line 1\r\nline 2\r\n",
      "lone\rCR",
      "lone\nLF",
      "LF\n\rCR",
      "\r\r\n\n",
      "tab\there",
      std::string("nul\0byte", 8),
      "\x01\x1b\x1f\x7f",
      "</SCRIPT>",
      "</script >",
      "</scrip",
      "<!--",
      "<!--<script>",
      "<script>alert(1)</script>",
      "${x}`y`",
      "'); alert(1); //",
      "\"; rng.text=\"injected",
      "Caf\xe9",
      "\xa3"
      "100",
      "\x80\x85\xa0\xff",
      "\xe2\x80\xa8 \xe2\x80\xa9",
      std::string(255, 'w'),
      std::string(127, 'v') + "\r\n" + std::string(126, 'v'),
  };
  return contents;
}

TEST(FillScriptExecution, BrowserTypesExactlyTheContent) {
  const char* const typing[] = {"text", "textarea", "password"};
  const char* const ignoring[] = {"checkbox", "submit", "select-one", "hidden",
                                  "-"};
  ScriptFolder folder;
  ASSERT_TRUE(folder.Ok());
  for (const std::string& content : HardContents()) {
    const std::string script = FillScriptText(content);
    for (const char* type : typing) folder.Add(script, type, &content);
    for (const char* type : ignoring) folder.Add(script, type, nullptr);
  }
  const NodeResult result = folder.Run();
  EXPECT_EQ(result.status, 0) << result.output;
}

// In a double-byte code page the second byte of a character may be a
// backslash or "|": escaped, it would break the script or change the text.
TEST(FillScriptExecution, DoubleByteContentsAreTypedAsWritten) {
  const struct {
    LeadByteTest table;
    const char* encoding;
    std::vector<std::string> contents;
  } pages[] = {
      {IsLeadByte932,
       "shift_jis",
       {"\x95\x5c\x94\x5c", "\x83\x5c\"q\"\r\n\x8f\x5c",
        "\x95\x5c\\r\\n\x83\x7c", "a\x97\x5c</script>\x95\x5c"}},
      {IsLeadByte936,
       "gbk",
       {"\xe5\x5c\xdf\x5c", "\xd5\x5c\r\n\xfc\x5c\\", "\x81\x7c|\xd6\xd0"}},
  };
  for (const auto& page : pages) {
    ScopedCodePage codePage(page.table);
    ScriptFolder folder;
    ASSERT_TRUE(folder.Ok());
    for (const std::string& content : page.contents)
      folder.Add(FillScriptText(content), "text", &content);
    const NodeResult result = folder.Run(page.encoding);
    EXPECT_EQ(result.status, 0) << page.encoding << ": " << result.output;
  }
}

// Guards against a runner that passes everything: unescaped Contents must
// fail, each for its own reason.
TEST(FillScriptExecution, RunnerRejectsUnescapedContent) {
  const std::string script = FillScriptText("");
  const auto raw = [&](const std::string& content) {
    std::string text = script;
    return text.insert(279, content);
  };
  const std::string broken[] = {"say \"hi\"", "C:\\temp", "a</script>b",
                                "lone\nLF"};
  const std::string fine = "fine";
  ScriptFolder folder;
  ASSERT_TRUE(folder.Ok());
  for (const std::string& content : broken) {
    folder.Add(raw(content), "text", &content);
  }
  folder.Add(raw(fine), "text", &fine);
  const NodeResult result = folder.Run();
  EXPECT_EQ(result.status, 1) << result.output;
  for (int i = 0; i < 4; ++i) {
    EXPECT_NE(result.output.find("FAIL case" + std::to_string(i) + ".htm"),
              std::string::npos)
        << result.output;
  }
  EXPECT_EQ(result.output.find("FAIL case4.htm"), std::string::npos)
      << result.output;
}

}  // namespace
}  // namespace tavro

#endif  // _WIN32
