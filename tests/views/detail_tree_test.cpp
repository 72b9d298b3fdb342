// The tree's add rule (keys unique in the whole tree, parent by key) and its display order.
#include "ui/detail/detail_tree.h"

#include <gtest/gtest.h>

namespace tavrix {
namespace {

TEST(DetailTree, KeysAreUniqueInTheWholeTree) {
  DetailTree tree;
  std::string error;
  ASSERT_TRUE(tree.add("", "Drice", "ドライブ:"));
  ASSERT_TRUE(tree.add("Drice", "C", "C:  NTFS"));
  ASSERT_TRUE(tree.add("", "Printer", "プリンタ一覧:"));

  struct Case {
    const char* name;
    std::string parent, key;
    bool added;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"same drive letter again", "Drice", "C", false, "Key is not unique in the tree: \"C\""},
      {"other case is the same key", "Drice", "c", false, "Key is not unique in the tree: \"c\""},
      {"a printer named like a section", "Printer", "Drice", false, "Key is not unique in the tree: \"Drice\""},
      {"missing parent", "Nowhere", "", false, "Element not found: no node with the key \"Nowhere\""},
      {"no key twice is fine", "Drice", "", true, ""},
      {"empty key is no key", "Printer", "", true, ""},
      {"parent found without case", "drice", "D", true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::size_t before = tree.nodes().size();
    error.clear();
    EXPECT_EQ(tree.add(c.parent, c.key, "x", &error), c.added);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(tree.nodes().size(), before + (c.added ? 1 : 0));
  }
}

TEST(DetailTree, DisplayOrderIsNodeThenChildrenInAddOrder) {
  DetailTree tree;
  tree.add("", "Groups", "G:");
  tree.add("", "Users", "U:");
  tree.add("Groups", "Admins1", "Admins");
  tree.add("Users", "bob2", "bob (PC\\bob) ");
  tree.add("Admins1", "", "PC\\bob");
  tree.add("Groups", "Guests3", "Guests");
  tree.add("bob2", "", "Admins");
  tree.add("Admins1", "", "PC\\eve");
  EXPECT_EQ(tree.displayText(),
            "G:\n"
            "  Admins\n"
            "    PC\\bob\n"
            "    PC\\eve\n"
            "  Guests\n"
            "U:\n"
            "  bob (PC\\bob) \n"
            "    Admins\n");
}

}  // namespace
}  // namespace tavrix
