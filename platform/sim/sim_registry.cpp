#include "platform/sim/sim_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace kl {

namespace {

constexpr uint32_t kKeySetValue = 0x0002;
constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr uint32_t kMaximumAllowed = 0x02000000;
constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kGenericExecute = 0x20000000;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kGenericRead = 0x80000000;

// The key rights a requested access mask grants, generic rights mapped as
// the platform maps them for keys.
uint32_t GrantedAccess(uint32_t access) {
  if (access & kMaximumAllowed) return kKeyAllAccess;
  uint32_t granted = access & kKeyAllAccess;
  if (access & kGenericAll) granted |= kKeyAllAccess;
  if (access & (kGenericRead | kGenericExecute)) granted |= kKeyRead;
  if (access & kGenericWrite) granted |= kKeyWrite;
  return granted;
}

std::string Upper(std::string_view name) {
  std::string result(name);
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

// Names the text form cannot hold: it is line-based.
bool HasLineBreak(std::string_view name) {
  return name.find_first_of("\r\n") != std::string_view::npos;
}

// Splits a subkey path into names, skipping empty components.
long SplitPath(std::string_view subkey, std::vector<std::string>& names) {
  names.clear();
  if (!subkey.empty() && subkey.front() == '\\') return kRegBadPathname;
  size_t start = 0;
  while (start <= subkey.size()) {
    size_t end = subkey.find('\\', start);
    if (end == std::string_view::npos) end = subkey.size();
    std::string_view name = subkey.substr(start, end - start);
    if (!name.empty()) {
      if (name.size() > kRegMaxKeyNameLength || HasLineBreak(name)) return kRegInvalidParameter;
      names.emplace_back(name);
    }
    start = end + 1;
  }
  return kRegOk;
}

}  // namespace

struct SimRegistry::Node {
  struct Value {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    uint64_t order = 0;  // values list in the order they were made, as the platform keeps them
  };
  using Children = std::map<std::string, std::unique_ptr<Node>>;

  std::string name;
  size_t depth = 0;                     // levels below the root
  std::map<std::string, Value> values;  // by upper-cased name
  Children children;                    // by upper-cased name, the enumeration order
  uint64_t nextOrder = 0;
  // Where the last enumeration stopped, so that walking index 0, 1, 2 ...
  // over many subkeys stays linear.
  size_t cursorIndex = 0;
  Children::iterator cursor = children.end();

  Value* FindValue(std::string_view valueName) {
    auto it = values.find(Upper(valueName));
    return it == values.end() ? nullptr : &it->second;
  }

  // A new value goes last; an existing one keeps its name and place.
  void SetValue(std::string_view valueName, uint32_t type, std::vector<uint8_t> data) {
    auto [it, inserted] = values.try_emplace(Upper(valueName));
    if (inserted) {
      it->second.name = std::string(valueName);
      it->second.order = nextOrder++;
    }
    it->second.type = type;
    it->second.data = std::move(data);
  }

  bool RemoveValue(std::string_view valueName) { return values.erase(Upper(valueName)) != 0; }

  std::vector<const Value*> OrderedValues() const {
    std::vector<const Value*> ordered;
    for (const auto& [key, value] : values) ordered.push_back(&value);
    std::sort(ordered.begin(), ordered.end(),
              [](const Value* a, const Value* b) { return a->order < b->order; });
    return ordered;
  }

  Node* Child(std::string_view childName) {
    auto it = children.find(Upper(childName));
    return it == children.end() ? nullptr : it->second.get();
  }

  Node* AddChild(std::string_view childName) {
    auto [it, inserted] = children.try_emplace(Upper(childName));
    if (inserted) {
      it->second = std::make_unique<Node>();
      it->second->name = std::string(childName);
      it->second->depth = depth + 1;
      cursor = children.end();
    }
    return it->second.get();
  }

  void RemoveChild(Children::iterator it) {
    children.erase(it);
    cursor = children.end();
  }

  const Node* ChildAt(size_t index) {
    if (index >= children.size()) return nullptr;
    if (cursor == children.end() || index < cursorIndex) {
      cursor = children.begin();
      cursorIndex = 0;
    }
    cursor = std::next(cursor, static_cast<std::ptrdiff_t>(index - cursorIndex));
    cursorIndex = index;
    return cursor->second.get();
  }
};

SimRegistry::SimRegistry()
    : m_localMachine(std::make_unique<Node>()), m_currentUser(std::make_unique<Node>()) {}

SimRegistry::~SimRegistry() = default;

SimRegistry::Node& SimRegistry::Root(RegRoot root) const {
  return root == RegRoot::kLocalMachine ? *m_localMachine : *m_currentUser;
}

long SimRegistry::Resolve(RegKey key, uint32_t need, Node*& node) const {
  if (key == kHkeyLocalMachine || key == kHkeyCurrentUser) {
    node = &Root(key == kHkeyLocalMachine ? RegRoot::kLocalMachine : RegRoot::kCurrentUser);
    return kRegOk;
  }
  auto it = m_handles.find(key);
  if (it == m_handles.end()) return kRegBadHandle;
  if (!it->second.node) return kRegKeyDeleted;
  if ((it->second.access & need) != need) return kRegAccessDenied;
  node = it->second.node;
  return kRegOk;
}

RegKey SimRegistry::NewHandle(Node* node, uint32_t access) {
  while (m_nextHandle == kRegNone || m_nextHandle == kHkeyLocalMachine ||
         m_nextHandle == kHkeyCurrentUser || m_handles.count(m_nextHandle) != 0) {
    ++m_nextHandle;
  }
  RegKey handle = m_nextHandle++;
  m_handles[handle] = Handle{node, GrantedAccess(access)};
  return handle;
}

long SimRegistry::OpenKey(RegKey parent, std::string_view subkey, uint32_t access, RegKey& out) {
  out = kRegNone;
  Node* node = nullptr;
  if (long r = Resolve(parent, 0, node); r != kRegOk) return r;
  std::vector<std::string> names;
  if (long r = SplitPath(subkey, names); r != kRegOk) return r;
  for (const std::string& name : names) {
    node = node->Child(name);
    if (!node) return kRegNotFound;
  }
  out = NewHandle(node, access);
  return kRegOk;
}

long SimRegistry::CreateKey(RegKey parent, std::string_view subkey, uint32_t access, RegKey& out) {
  out = kRegNone;
  Node* node = nullptr;
  if (long r = Resolve(parent, 0, node); r != kRegOk) return r;
  std::vector<std::string> names;
  if (long r = SplitPath(subkey, names); r != kRegOk) return r;
  if (node->depth + names.size() > kRegMaxKeyDepth) return kRegInvalidParameter;
  for (const std::string& name : names) node = node->AddChild(name);
  out = NewHandle(node, access);
  return kRegOk;
}

long SimRegistry::QueryValue(RegKey key, std::string_view name, uint32_t& type, uint8_t* data,
                             uint32_t& size) {
  Node* node = nullptr;
  if (long r = Resolve(key, kKeyQueryValue, node); r != kRegOk) return r;
  const Node::Value* value = node->FindValue(name);
  if (!value) return kRegNotFound;
  const auto needed = static_cast<uint32_t>(value->data.size());
  type = value->type;
  if (data && size < needed) {
    size = needed;
    return kRegMoreData;
  }
  if (data && needed != 0) std::memcpy(data, value->data.data(), needed);
  size = needed;
  return kRegOk;
}

long SimRegistry::SetValue(RegKey key, std::string_view name, uint32_t type, const uint8_t* data,
                           uint32_t size) {
  Node* node = nullptr;
  if (long r = Resolve(key, kKeySetValue, node); r != kRegOk) return r;
  if ((!data && size != 0) || HasLineBreak(name)) return kRegInvalidParameter;
  node->SetValue(name, type, std::vector<uint8_t>(data, data + size));
  return kRegOk;
}

long SimRegistry::DeleteValue(RegKey key, std::string_view name) {
  Node* node = nullptr;
  if (long r = Resolve(key, kKeySetValue, node); r != kRegOk) return r;
  return node->RemoveValue(name) ? kRegOk : kRegNotFound;
}

long SimRegistry::EnumKey(RegKey key, uint32_t index, std::string& name, uint32_t bufferSize) {
  Node* node = nullptr;
  if (long r = Resolve(key, kKeyEnumerateSubKeys, node); r != kRegOk) return r;
  const Node* child = node->ChildAt(index);
  if (!child) return kRegNoMoreItems;
  if (child->name.size() + 1 > bufferSize) return kRegMoreData;
  name = child->name;
  return kRegOk;
}

long SimRegistry::CloseKey(RegKey key) {
  if (key == kHkeyLocalMachine || key == kHkeyCurrentUser) return kRegOk;
  return m_handles.erase(key) != 0 ? kRegOk : kRegBadHandle;
}

size_t SimRegistry::OpenHandleCount() const {
  return m_handles.size();
}

bool SimRegistry::KeyExists(std::string_view fullPath) const {
  RegRoot root;
  std::vector<std::string> path;
  if (!ParseRegKeyPath(fullPath, root, path)) return false;
  Node* node = &Root(root);
  for (const std::string& name : path) {
    node = node->Child(name);
    if (!node) return false;
  }
  return true;
}

SimRegistry::Node* SimRegistry::Walk(RegRoot root, const std::vector<std::string>& path,
                                     bool create) {
  Node* node = &Root(root);
  for (const std::string& name : path) {
    node = create ? node->AddChild(name) : node->Child(name);
    if (!node) return nullptr;
  }
  return node;
}

void SimRegistry::DeleteSubtree(Node* parent, const std::string& childKey) {
  auto it = parent->children.find(childKey);
  if (it == parent->children.end()) return;
  // Handles to any key of the subtree now answer kRegKeyDeleted.
  std::vector<Node*> pending{it->second.get()};
  while (!pending.empty()) {
    Node* node = pending.back();
    pending.pop_back();
    for (auto& [handle, entry] : m_handles) {
      if (entry.node == node) entry.node = nullptr;
    }
    for (auto& [key, child] : node->children) pending.push_back(child.get());
  }
  parent->RemoveChild(it);
}

void SimRegistry::Apply(const RegTextOp& op) {
  switch (op.kind) {
    case RegTextOp::Kind::kCreateKey:
      Walk(op.root, op.path, true);
      break;
    case RegTextOp::Kind::kDeleteKey: {
      std::vector<std::string> parentPath(op.path.begin(), op.path.end() - 1);
      if (Node* parent = Walk(op.root, parentPath, false)) {
        DeleteSubtree(parent, Upper(op.path.back()));
      }
      break;
    }
    case RegTextOp::Kind::kSetValue: {
      Walk(op.root, op.path, true)->SetValue(op.valueName, op.type, op.data);
      break;
    }
    case RegTextOp::Kind::kDeleteValue:
      if (Node* node = Walk(op.root, op.path, false)) {
        node->RemoveValue(op.valueName);
      }
      break;
  }
}

bool SimRegistry::LoadText(std::string_view text, std::string* error) {
  std::string decoded;
  if (!DecodeRegText(text, decoded, error)) return false;
  std::vector<RegTextOp> ops;
  if (!ParseRegText(decoded, ops, error)) return false;
  for (const RegTextOp& op : ops) Apply(op);
  return true;
}

bool SimRegistry::LoadFile(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = path + ": cannot open the file";
    return false;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    if (error) *error = path + ": cannot read the file";
    return false;
  }
  std::string message;
  if (!LoadText(bytes, &message)) {
    if (error) *error = path + ": " + message;
    return false;
  }
  return true;
}

std::string SimRegistry::DumpText() const {
  std::string out = "REGEDIT4\r\n\r\n";
  struct Item {
    const Node* node;
    std::string path;
  };
  for (RegRoot root : {RegRoot::kLocalMachine, RegRoot::kCurrentUser}) {
    std::vector<Item> pending{{&Root(root), RegRootName(root)}};
    while (!pending.empty()) {
      Item item = std::move(pending.back());
      pending.pop_back();
      // The roots always exist: they get a section only for their own values.
      if (item.node->depth != 0 || !item.node->values.empty()) {
        out += "[" + item.path + "]\r\n";
        for (const Node::Value* v : item.node->OrderedValues()) {
          AppendRegValueLine(out, v->name, v->type, v->data);
        }
        out += "\r\n";
      }
      for (auto it = item.node->children.rbegin(); it != item.node->children.rend(); ++it) {
        pending.push_back({it->second.get(), item.path + "\\" + it->second->name});
      }
    }
  }
  return out;
}

bool SimRegistry::SaveFile(const std::string& path) const {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    const std::string text = DumpText();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code failure;
  std::filesystem::rename(temporary, path, failure);
  if (failure) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
  }
  return true;
}

}  // namespace kl
