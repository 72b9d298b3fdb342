// The detail tree's add rule (unique keys, parent by key) and its display order.
#include "views/detail/detail_tree.h"

#include "platform/text.h"

namespace tavrix {

int DetailTree::find(std::string_view key) const {
  if (key.empty()) return -1;
  auto it = byKey_.find(text::toUpperAscii(key));
  return it == byKey_.end() ? -1 : it->second;
}

bool DetailTree::hasKey(std::string_view key) const { return find(key) >= 0; }

bool DetailTree::add(std::string_view parentKey, std::string_view key, std::string text, std::string* error) {
  int parent = -1;
  if (!parentKey.empty()) {
    parent = find(parentKey);
    if (parent < 0) {
      if (error) *error = "Element not found: no node with the key \"" + std::string(parentKey) + "\"";
      return false;
    }
  }
  if (!key.empty()) {
    auto [it, inserted] = byKey_.try_emplace(text::toUpperAscii(key), static_cast<int>(nodes_.size()));
    if (!inserted) {
      if (error) *error = "Key is not unique in the tree: \"" + std::string(key) + "\"";
      return false;
    }
  }
  nodes_.push_back(DetailNode{std::move(text), std::string(key), parent});
  return true;
}

std::vector<DetailLine> DetailTree::displayOrder() const {
  // Children per node in add order; -1 (the top level) is slot 0.
  std::vector<std::vector<int>> children(nodes_.size() + 1);
  for (int i = 0; i < static_cast<int>(nodes_.size()); ++i) children[nodes_[i].parent + 1].push_back(i);

  std::vector<DetailLine> lines;
  lines.reserve(nodes_.size());
  std::vector<std::pair<int, int>> stack;  // (node, depth), visited last-in first-out
  const auto& top = children[0];
  for (auto it = top.rbegin(); it != top.rend(); ++it) stack.emplace_back(*it, 0);
  while (!stack.empty()) {
    auto [node, depth] = stack.back();
    stack.pop_back();
    lines.push_back(DetailLine{depth, node});
    const auto& kids = children[node + 1];
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.emplace_back(*it, depth + 1);
  }
  return lines;
}

std::string DetailTree::displayText() const {
  std::string out;
  for (const DetailLine& line : displayOrder()) {
    out.append(static_cast<std::size_t>(line.depth) * 2, ' ');
    out += nodes_[line.node].text;
    out += '\n';
  }
  return out;
}

}  // namespace tavrix
