#pragma once
// One parameter tree: chapters (level 0), functions and flags (level 1),
// options (level 2). Each node holds its record and the per-node state the
// views and the map cycle share. Widget-free, so the rules can be tested and
// timed without a window.

#include "ParamNodeData.h"

#include <functional>
#include <memory>
#include <vector>

enum class TCheckKind { None, CheckBox, Radio };

struct TParamNode {
    TParamNodeData Data;
    TCheckKind CheckKind = TCheckKind::None;
    bool Checked = false;
    bool Disabled = false;
    bool Visible = true;
    bool Expanded = false;
    bool MultiLine = false;
    // Its value differs from the module's as last read (a Save would change it).
    bool Changed = false;
    // Chapter: how many of the changes a Save would make it holds.
    int ChangesHeld = 0;

    TParamNode* Parent = nullptr;
    std::vector<std::unique_ptr<TParamNode>> Children;
    int Row = 0;   // position among its siblings, 0-based
    int Depth = 0; // 0 chapter, 1 function or flag, 2 option

    int Level() const { return Depth; }
    int Index() const { return Row; }
    TParamNode* Child(int i) const { return Children[std::size_t(i)].get(); }
    int ChildCount() const { return int(Children.size()); }
    bool IsOption() const { return Level() == 2; }
    // Checks this radio option and unchecks its siblings.
    void CheckRadio();
};

class TParamTree {
public:
    TParamTree();

    TParamNode* Root() const { return RootNode.get(); }
    int TopCount() const { return RootNode->ChildCount(); }
    TParamNode* AddNode(TParamNode* parent);
    void Clear();
    // Every node below the root, parents before children, in tree order.
    void ForEach(const std::function<void(TParamNode&)>& visit) const;
    int NodeCount() const;

private:
    std::unique_ptr<TParamNode> RootNode;
};
