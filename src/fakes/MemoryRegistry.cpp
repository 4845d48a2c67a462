#include "MemoryRegistry.h"

#include <map>
#include <vector>

#include "CodePage.h"

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
  std::map<std::string, std::shared_ptr<Node>> children;
  std::map<std::string, std::pair<std::string, RawValue>> values;
  bool writesDenied = false;
  bool accessDenied = false;
  // Open keys hold on to their node, which a deletion leaves behind.
  bool deleted = false;

  void MarkDeleted() {
    deleted = true;
    values.clear();
    for (auto& [lower, child] : children) child->MarkDeleted();
    children.clear();
  }
};

// Holds its node, not its path: a key made again at the same path is
// another key, as the system's handle would have it.
class MemoryRegistry::Key : public RegistryKey {
 public:
  Key(MemoryRegistry& registry, std::shared_ptr<Node> node, std::string path,
      bool readOnly)
      : registry_(registry),
        node_(std::move(node)),
        path_(std::move(path)),
        readOnly_(readOnly) {}

  std::vector<std::string> SubkeyNames() override {
    if (node_->deleted)
      throw RegistryError(FormatError(kCannotListKey, path_), kKeyDeleted);
    std::vector<std::string> names;
    for (const auto& [lower, child] : node_->children)
      names.push_back(child->name);
    return names;
  }

  bool HasValue(const std::string& name) override {
    return Find(name) != nullptr;
  }

  std::string ReadString(const std::string& name) override {
    const RawValue* value = Find(name);
    if (!value || value->bytes.empty()) return {};
    if (value->type != kSz && value->type != kExpandSz)
      throw TavroError(FormatError(kInvalidDataType, name));
    return value->bytes.substr(0, value->bytes.find('\0'));
  }

  std::optional<std::string> ReadShortString(const std::string& name,
                                             std::size_t maxLength) override {
    const RawValue* value = Find(name);
    if (!value || value->type != kSz) return std::nullopt;
    // Judged by the bytes stored, as the system's read into a bounded buffer.
    const std::string& bytes = value->bytes;
    std::string text = bytes.substr(0, bytes.find('\0'));
    if (bytes.size() > maxLength + 2 || text.size() > maxLength)
      return std::nullopt;
    return text;
  }

  void WriteString(const std::string& name, const std::string& value) override {
    Write(name, kSz, value.substr(0, value.find('\0')));
  }

  void WriteInteger(const std::string& name, std::uint32_t value) override {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
      bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    Write(name, kDword, bytes);
  }

  long DeleteValue(const std::string& name) override {
    registry_.Change();
    if (const long refused = Refusal()) return refused;
    return node_->values.erase(Lower(name)) ? kRegistryOk : kNotFound;
  }

 private:
  const RawValue* Find(const std::string& name) const {
    auto it = node_->values.find(Lower(name));
    return it == node_->values.end() ? nullptr : &it->second.second;
  }

  // Why a change through this key is refused, if it is: the handle's
  // access is judged before its key.
  long Refusal() const {
    if (readOnly_) return kAccessDenied;
    return node_->deleted ? kKeyDeleted : kRegistryOk;
  }

  void Write(const std::string& name, std::uint32_t type,
             const std::string& bytes) {
    registry_.Change();
    long refused = Refusal();
    if (!refused && !registry_.TakeWrite()) refused = kAccessDenied;
    if (refused)
      throw RegistryError(FormatError(kFailedToSetData, name), refused);
    node_->values[Lower(name)] = {name, RawValue{type, bytes}};
  }

  MemoryRegistry& registry_;
  std::shared_ptr<Node> node_;
  std::string path_;
  bool readOnly_;
};

MemoryRegistry::MemoryRegistry() : root_(std::make_shared<Node>()) {}
MemoryRegistry::~MemoryRegistry() = default;

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Find(
    const std::string& path) const {
  std::shared_ptr<Node> node = root_;
  for (const std::string& part : SplitPath(path)) {
    auto it = node->children.find(Lower(part));
    if (it == node->children.end()) return nullptr;
    node = it->second;
  }
  return node;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Create(
    const std::string& path, long& code) {
  const std::vector<std::string> parts = SplitPath(path);
  for (const std::string& part : parts)
    if (part.size() > kMaxKeyNameLength) {
      code = kInvalidParameter;
      return nullptr;
    }
  std::shared_ptr<Node> node = root_;
  for (const std::string& part : parts) {
    std::shared_ptr<Node>& child = node->children[Lower(part)];
    if (!child) {
      if (node->writesDenied || node->accessDenied) {
        node->children.erase(Lower(part));
        code = kAccessDenied;
        return nullptr;
      }
      child = std::make_shared<Node>();
      child->name = part;
    }
    node = child;
  }
  return node;
}

void MemoryRegistry::Change() {
  if (changesLeft_ == 0) throw Stopped{};
  if (changesLeft_ > 0) --changesLeft_;
}

bool MemoryRegistry::TakeWrite() {
  if (writesLeft_ == 0) return false;
  if (writesLeft_ > 0) --writesLeft_;
  return true;
}

OpenedKey MemoryRegistry::Open(const std::string& path, Mode mode) {
  if (ApiPathLength(path) > kMaxPathLength) return {nullptr, kPathTooLong};
  std::shared_ptr<Node> node = Find(path);
  if (!node && mode == Mode::Create) {
    Change();
    long code = kRegistryOk;
    node = Create(path, code);
    if (!node) return {nullptr, code};
  }
  if (!node) return {nullptr, kNotFound};
  if (node->accessDenied || (mode != Mode::Read && node->writesDenied))
    return {nullptr, kAccessDenied};
  return {std::make_unique<Key>(*this, node, path, mode == Mode::Read),
          kRegistryOk};
}

long MemoryRegistry::DeleteTree(const std::string& path) {
  Change();
  std::vector<std::string> parts = SplitPath(path);
  // The root is never deleted, as the hive's is not.
  if (parts.empty()) return kInvalidParameter;
  const std::string leaf = Lower(parts.back());
  parts.pop_back();
  std::shared_ptr<Node> parent = root_;
  for (const std::string& part : parts) {
    auto it = parent->children.find(Lower(part));
    if (it == parent->children.end()) return kNotFound;
    parent = it->second;
  }
  const auto it = parent->children.find(leaf);
  if (it == parent->children.end()) return kNotFound;
  if (it->second->writesDenied || it->second->accessDenied)
    return kAccessDenied;
  it->second->MarkDeleted();
  parent->children.erase(it);
  return kRegistryOk;
}

void MemoryRegistry::SetRawValue(const std::string& path,
                                 const std::string& name, std::uint32_t type,
                                 const std::string& bytes) {
  long code = kRegistryOk;
  if (std::shared_ptr<Node> node = Create(path, code))
    node->values[Lower(name)] = {name, RawValue{type, bytes}};
}

void MemoryRegistry::DenyWrites(const std::string& path, bool deny) {
  if (std::shared_ptr<Node> node = Find(path)) node->writesDenied = deny;
}

void MemoryRegistry::DenyAccess(const std::string& path, bool deny) {
  if (std::shared_ptr<Node> node = Find(path)) node->accessDenied = deny;
}

bool MemoryRegistry::KeyExists(const std::string& path) const {
  return Find(path) != nullptr;
}

std::optional<MemoryRegistry::RawValue> MemoryRegistry::GetRawValue(
    const std::string& path, const std::string& name) const {
  std::shared_ptr<Node> node = Find(path);
  if (!node) return std::nullopt;
  auto it = node->values.find(Lower(name));
  if (it == node->values.end()) return std::nullopt;
  return it->second.second;
}

}  // namespace tavro
