#include "MemoryFileSystem.h"

#include <algorithm>
#include <stdexcept>

#include "CodePage.h"
#include "Errors.h"

namespace tavro {

namespace {
// Wine's wording, so that a test may compare the texts of both.
constexpr const char* kInvalidName = "Invalid name.";
constexpr const char* kPathNotFound = "Path not found.";
constexpr const char* kAccessDenied = "Access denied.";
constexpr const char* kDiskFull = "Disk full.";

char LowerChar(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(const std::string& s) { return LowerAscii(s); }

bool IsForbidden(unsigned char c) {
  return (c >= 1 && c < 32) ||
         std::string_view("<>\"|?*").find(c) != std::string_view::npos;
}

struct Parsed {
  std::vector<std::string> parts;  // the drive first
  bool valid = false;
  bool endsInSeparator = false;
};

// Windows drops trailing dots and blanks of every name and resolves "." and
// ".." before the file system sees the path.
Parsed Parse(const std::string& path) {
  Parsed parsed;
  std::string part;
  bool valid = true;
  auto flush = [&] {
    if (part == "..") {
      if (parsed.parts.size() > 1) parsed.parts.pop_back();
    } else if (part != ".") {
      while (!part.empty() && (part.back() == '.' || part.back() == ' '))
        part.pop_back();
      if (!part.empty()) {
        for (std::size_t i = 0; i < part.size(); i += CharSize(part, i))
          if (!parsed.parts.empty() && CharSize(part, i) == 1 &&
              IsForbidden(static_cast<unsigned char>(part[i])))
            valid = false;
        parsed.parts.push_back(part);
      }
    }
    part.clear();
  };
  // The system splits the path after converting it to characters.
  bool separatorLast = false;
  for (std::size_t i = 0; i < path.size(); i += CharSize(path, i)) {
    separatorLast =
        CharSize(path, i) == 1 && (path[i] == '\\' || path[i] == '/');
    if (separatorLast)
      flush();
    else
      part.append(path, i, CharSize(path, i));
  }
  flush();
  parsed.valid = valid && !parsed.parts.empty();
  parsed.endsInSeparator = separatorLast;
  return parsed;
}

// Case-blind, "*" for any run of characters and "?" for one.
bool MatchesWildcard(std::string_view name, std::string_view mask) {
  std::size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (m < mask.size() &&
               (mask[m] == '?' || LowerChar(mask[m]) == LowerChar(name[n]))) {
      ++m;
      ++n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}
}  // namespace

struct MemoryFileSystem::Node {
  std::string name;  // as first spelled
  bool isFolder = true;
  bool readOnly = false;
  std::string bytes;
  // Keyed by lower-cased name.
  std::map<std::string, std::unique_ptr<Node>> children;
};

// Where a path leads: its parent folder (if that exists) and the node itself
// (if that exists too).
struct MemoryFileSystem::Location {
  Parsed parsed;
  Node* parent = nullptr;
  Node* node = nullptr;
};

MemoryFileSystem::MemoryFileSystem() = default;
MemoryFileSystem::~MemoryFileSystem() = default;

MemoryFileSystem::Location MemoryFileSystem::Locate(
    const std::string& path) const {
  Location at;
  at.parsed = Parse(path);
  if (!at.parsed.valid) return at;
  auto& root = roots_[Lower(at.parsed.parts.front())];
  if (!root) {
    root = std::make_unique<Node>();
    root->name = at.parsed.parts.front();
  }
  Node* node = root.get();
  const std::size_t count = at.parsed.parts.size();
  for (std::size_t i = 1; i < count; ++i) {
    if (!node->isFolder) {
      at.parent = nullptr;
      return at;
    }
    at.parent = node;
    auto it = node->children.find(Lower(at.parsed.parts[i]));
    if (it == node->children.end()) {
      if (i + 1 < count) at.parent = nullptr;
      return at;
    }
    node = it->second.get();
  }
  at.node = node;
  return at;
}

MemoryFileSystem::Node* MemoryFileSystem::Find(const std::string& path) const {
  return Locate(path).node;
}

bool MemoryFileSystem::FileExists(const std::string& path) {
  const Location at = Locate(path);
  return at.node && !at.node->isFolder && !at.parsed.endsInSeparator;
}

bool MemoryFileSystem::DirectoryExists(const std::string& path) {
  const Node* node = Find(path);
  return node && node->isFolder;
}

bool MemoryFileSystem::MakeFolder(const std::string& path) {
  const Location at = Locate(path);
  if (!at.parent || at.node) return false;
  auto node = std::make_unique<Node>();
  node->name = at.parsed.parts.back();
  at.parent->children[Lower(node->name)] = std::move(node);
  return true;
}

bool MemoryFileSystem::RemoveFile(const std::string& path) {
  const Location at = Locate(path);
  if (!at.node || at.node->isFolder || at.node->readOnly) return false;
  at.parent->children.erase(Lower(at.parsed.parts.back()));
  return true;
}

std::optional<MemoryFileSystem::WriteFailure> MemoryFileSystem::TryWrite(
    const std::string& path, std::string_view bytes) {
  const bool refused = refuseCountdown_ > 0 && --refuseCountdown_ == 0;
  const Location at = Locate(path);
  if (!at.parsed.valid) return WriteFailure{true, kInvalidName};
  if (!at.parent) return WriteFailure{true, kPathNotFound};
  if (refused || (at.node && (at.node->isFolder || at.node->readOnly)))
    return WriteFailure{true, kAccessDenied};
  Node* file = at.node;
  if (!file) {
    auto created = std::make_unique<Node>();
    created->name = at.parsed.parts.back();
    created->isFolder = false;
    file = created.get();
    at.parent->children[Lower(created->name)] = std::move(created);
  }
  file->bytes.clear();
  if (freeSpace_ && bytes.size() > *freeSpace_) {
    file->bytes.assign(bytes.substr(0, *freeSpace_));
    freeSpace_ = 0;
    return WriteFailure{false, kDiskFull};
  }
  file->bytes.assign(bytes);
  if (freeSpace_) *freeSpace_ -= bytes.size();
  return std::nullopt;
}

// As the real one: a new file beside the old, then moved over it.
void MemoryFileSystem::WriteFile(const std::string& path,
                                 std::string_view bytes, Sync) {
  const Location at = Locate(path);
  if (!at.parsed.valid) throw TavroError(WriteError(path, kInvalidName));
  if (!at.parent) throw TavroError(WriteError(path, kPathNotFound));
  const std::string temporary =
      path.substr(0, FileNameStart(path)) + "~tavro.tmp";
  if (const auto failure = TryWrite(temporary, bytes)) {
    RemoveFile(temporary);
    throw TavroError(WriteError(path, failure->message));
  }
  Node* old = Find(path);
  if (old && (old->isFolder || old->readOnly)) {
    RemoveFile(temporary);
    throw ReplaceFailed(WriteError(path, kAccessDenied));
  }
  const std::string stored = std::move(Find(temporary)->bytes);
  RemoveFile(temporary);
  AddNode(path, false)->bytes = stored;
}

std::vector<std::string> MemoryFileSystem::FindFiles(
    const std::string& pattern) {
  std::vector<std::string> names;
  const std::size_t slash = pattern.find_last_of("\\/");
  if (slash == std::string::npos) return names;
  const Node* folder = Find(pattern.substr(0, slash));
  if (!folder || !folder->isFolder) return names;
  const std::string_view mask = std::string_view(pattern).substr(slash + 1);
  for (const auto& [key, child] : folder->children)
    if (MatchesWildcard(child->name, mask)) names.push_back(child->name);
  return names;
}

MemoryFileSystem::Node* MemoryFileSystem::AddNode(const std::string& path,
                                                  bool isFolder) {
  const Parsed parsed = Parse(path);
  if (!parsed.valid) throw std::invalid_argument("bad test path: " + path);
  Locate(path);  // makes the drive
  Node* node = roots_[Lower(parsed.parts.front())].get();
  for (std::size_t i = 1; i < parsed.parts.size(); ++i) {
    auto& child = node->children[Lower(parsed.parts[i])];
    if (child && !child->isFolder && i + 1 < parsed.parts.size())
      throw std::invalid_argument("test path runs through a file: " + path);
    if (!child) {
      child = std::make_unique<Node>();
      child->name = parsed.parts[i];
      child->isFolder = isFolder || i + 1 < parsed.parts.size();
    }
    node = child.get();
  }
  return node;
}

void MemoryFileSystem::AddFolder(const std::string& path) {
  AddNode(path, true);
}

void MemoryFileSystem::AddFile(const std::string& path,
                               std::string_view bytes) {
  Node* file = AddNode(path, false);
  if (file->isFolder)
    throw std::invalid_argument("test path is a folder: " + path);
  file->bytes.assign(bytes);
}

std::optional<std::string> MemoryFileSystem::ReadFile(
    const std::string& path) const {
  const Node* node = Find(path);
  if (!node || node->isFolder) return std::nullopt;
  return node->bytes;
}

void MemoryFileSystem::CollectFiles(const Node& node, const std::string& prefix,
                                    std::vector<std::string>& out) const {
  for (const auto& [key, child] : node.children) {
    const std::string path = prefix + "\\" + child->name;
    if (child->isFolder)
      CollectFiles(*child, path, out);
    else
      out.push_back(path);
  }
}

std::vector<std::string> MemoryFileSystem::ListFiles() const {
  std::vector<std::string> files;
  for (const auto& [key, root] : roots_) CollectFiles(*root, root->name, files);
  return files;
}

void MemoryFileSystem::SetReadOnly(const std::string& path, bool readOnly) {
  Node* node = Find(path);
  if (!node || node->isFolder)
    throw std::invalid_argument("no such test file: " + path);
  node->readOnly = readOnly;
}

}  // namespace tavro
