#include "MemoryRegistry.h"

#include <algorithm>

#include "CodePage.h"
#include "Errors.h"

namespace tavro {

namespace {
std::string Lower(const std::string& s) { return LowerAscii(s); }

// Key names are split at backslashes, not at the second byte of a
// character; a leading one means the root.
std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (std::size_t i = 0; i < path.size(); i += CharSize(path, i)) {
    if (path[i] == '\\' && CharSize(path, i) == 1) {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part.append(path, i, CharSize(path, i));
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

constexpr std::size_t kMaxKeyNameLength = 255;

// The ANSI registry functions convert the path into a buffer of 260
// characters, so a longer path can be neither opened nor created. Counted in
// bytes here, which single-byte code pages make the same.
constexpr std::size_t kMaxPathLength = 260;

// The path as the registry functions get it: without the backslashes at its
// ends.
std::size_t ApiPathLength(const std::string& path) {
  const std::size_t begin = path.find_first_not_of('\\');
  if (begin == std::string::npos) return 0;
  return path.find_last_not_of('\\') + 1 - begin;
}
}  // namespace

struct MemoryRegistry::Node {
  std::string name;
  // Keyed by lower-cased name, so listing is in case-blind ascending order.
  std::map<std::string, std::unique_ptr<Node>> children;
  std::map<std::string, std::pair<std::string, RawValue>> values;
  bool writesDenied = false;
};

MemoryRegistry::MemoryRegistry() : root_(std::make_unique<Node>()) {}
MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::Node* MemoryRegistry::Find(const std::string& path) const {
  Node* node = root_.get();
  for (const std::string& part : SplitPath(path)) {
    auto it = node->children.find(Lower(part));
    if (it == node->children.end()) return nullptr;
    node = it->second.get();
  }
  return node;
}

MemoryRegistry::Node* MemoryRegistry::Create(const std::string& path) {
  const std::vector<std::string> parts = SplitPath(path);
  for (const std::string& part : parts)
    if (part.size() > kMaxKeyNameLength) return nullptr;
  Node* node = root_.get();
  for (const std::string& part : parts) {
    auto& child = node->children[Lower(part)];
    if (!child) {
      if (node->writesDenied) {
        node->children.erase(Lower(part));
        return nullptr;
      }
      child = std::make_unique<Node>();
      child->name = part;
    }
    node = child.get();
  }
  return node;
}

MemoryRegistry::Node* MemoryRegistry::OpenNode() const {
  return openPath_ ? Find(*openPath_) : nullptr;
}

void MemoryRegistry::Change() {
  if (changesLeft_ == 0) throw Stopped{};
  if (changesLeft_ > 0) --changesLeft_;
}

bool MemoryRegistry::OpenKey(const std::string& path, bool canCreate) {
  if (ApiPathLength(path) > kMaxPathLength) return false;
  if (canCreate && !Find(path)) Change();
  Node* node = canCreate ? Create(path) : Find(path);
  if (!node || node->writesDenied) return false;
  openPath_ = path;
  readOnly_ = false;
  return true;
}

bool MemoryRegistry::OpenKeyReadOnly(const std::string& path) {
  if (ApiPathLength(path) > kMaxPathLength || !Find(path)) return false;
  openPath_ = path;
  readOnly_ = true;
  return true;
}

std::vector<std::string> MemoryRegistry::GetKeyNames() {
  std::vector<std::string> names;
  if (Node* node = OpenNode())
    for (const auto& [lower, child] : node->children)
      names.push_back(child->name);
  return names;
}

bool MemoryRegistry::ValueExists(const std::string& name) {
  Node* node = OpenNode();
  return node && node->values.count(Lower(name)) != 0;
}

std::string MemoryRegistry::ReadString(const std::string& name) {
  Node* node = OpenNode();
  if (!node) return {};
  auto it = node->values.find(Lower(name));
  if (it == node->values.end()) return {};
  const RawValue& value = it->second.second;
  if (value.bytes.empty()) return {};
  if (value.type != kSz && value.type != kExpandSz)
    throw TavroError(FormatError(kInvalidDataType, name));
  return value.bytes.substr(0, value.bytes.find('\0'));
}

std::optional<std::string> MemoryRegistry::ReadShortString(
    const std::string& name, std::size_t maxLength) {
  Node* node = OpenNode();
  if (!node) return std::nullopt;
  auto it = node->values.find(Lower(name));
  if (it == node->values.end() || it->second.second.type != kSz)
    return std::nullopt;
  // Judged by the bytes stored, as the system's read into a bounded buffer.
  const std::string& bytes = it->second.second.bytes;
  std::string text = bytes.substr(0, bytes.find('\0'));
  if (bytes.size() > maxLength + 2 || text.size() > maxLength)
    return std::nullopt;
  return text;
}

void MemoryRegistry::Write(const std::string& name, std::uint32_t type,
                           const std::string& bytes) {
  Change();
  Node* node = OpenNode();
  if (!node || readOnly_ || writesLeft_ == 0)
    throw TavroError(FormatError(kFailedToSetData, name));
  if (writesLeft_ > 0) --writesLeft_;
  node->values[Lower(name)] = {name, RawValue{type, bytes}};
}

void MemoryRegistry::WriteString(const std::string& name,
                                 const std::string& value) {
  Write(name, kSz, value.substr(0, value.find('\0')));
}

void MemoryRegistry::WriteInteger(const std::string& name,
                                  std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  Write(name, kDword, bytes);
}

bool MemoryRegistry::DeleteKey(const std::string& path) {
  Change();
  std::vector<std::string> parts = SplitPath(path);
  if (parts.empty()) return false;
  const std::string leaf = Lower(parts.back());
  parts.pop_back();
  Node* parent = root_.get();
  for (const std::string& part : parts) {
    auto it = parent->children.find(Lower(part));
    if (it == parent->children.end()) return false;
    parent = it->second.get();
  }
  const auto it = parent->children.find(leaf);
  if (it == parent->children.end() || it->second->writesDenied) return false;
  parent->children.erase(it);
  return true;
}

bool MemoryRegistry::DeleteValue(const std::string& name) {
  Change();
  Node* node = OpenNode();
  return node && !readOnly_ && node->values.erase(Lower(name)) != 0;
}

void MemoryRegistry::CloseKey() { openPath_.reset(); }

void MemoryRegistry::SetRawValue(const std::string& path,
                                 const std::string& name, std::uint32_t type,
                                 const std::string& bytes) {
  if (Node* node = Create(path))
    node->values[Lower(name)] = {name, RawValue{type, bytes}};
}

void MemoryRegistry::DenyWrites(const std::string& path, bool deny) {
  if (Node* node = Find(path)) node->writesDenied = deny;
}

bool MemoryRegistry::KeyExists(const std::string& path) const {
  return Find(path) != nullptr;
}

std::optional<MemoryRegistry::RawValue> MemoryRegistry::GetRawValue(
    const std::string& path, const std::string& name) const {
  Node* node = Find(path);
  if (!node) return std::nullopt;
  auto it = node->values.find(Lower(name));
  if (it == node->values.end()) return std::nullopt;
  return it->second.second;
}

}  // namespace tavro
