// The detail tree as data: nodes with text, an optional key unique in the whole tree, a parent by key.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavrix {

struct DetailNode {
  std::string text;  // the line shown, blanks kept
  std::string key;   // "" when the node has no key
  int parent = -1;   // index into DetailTree::nodes(), -1 for a top-level node
};

// One line of the tree in display order (a node, then its children).
struct DetailLine {
  int depth = 0;  // 0 for a top-level node
  int node = 0;   // index into DetailTree::nodes()
};

// Nodes stay in the order they were added; a child goes behind its parent's earlier children.
// Keys compare without regard to ASCII case, as the database compares the texts they come from;
// an empty key is no key.
class DetailTree {
 public:
  // Adds text under the node keyed parentKey ("" = top level). Fails, leaving the tree unchanged,
  // when the key is already in the tree or the parent key is not: error then holds the description.
  bool add(std::string_view parentKey, std::string_view key, std::string text, std::string* error = nullptr);

  const std::vector<DetailNode>& nodes() const { return nodes_; }
  bool hasKey(std::string_view key) const;
  // Index of the node with this key, or -1.
  int find(std::string_view key) const;
  std::vector<DetailLine> displayOrder() const;
  // Every line in display order, indented two blanks per depth level, each ended by "\n".
  std::string displayText() const;

 private:
  std::vector<DetailNode> nodes_;
  std::unordered_map<std::string, int> byKey_;  // upper-cased key -> node index
};

}  // namespace tavrix
