#include "ParamTree.h"

void TParamNode::CheckRadio() {
    if (Parent)
        for (const auto& sibling : Parent->Children)
            if (sibling.get() != this && sibling->CheckKind == TCheckKind::Radio)
                sibling->Checked = false;
    Checked = true;
}

TParamTree::TParamTree() : RootNode(std::make_unique<TParamNode>()) {}

TParamNode* TParamTree::AddNode(TParamNode* parent) {
    auto node = std::make_unique<TParamNode>();
    node->Parent = parent;
    node->Row = parent->ChildCount();
    node->Depth = parent == RootNode.get() ? 0 : parent->Depth + 1;
    parent->Children.push_back(std::move(node));
    return parent->Children.back().get();
}

void TParamTree::Clear() {
    RootNode->Children.clear();
}

namespace {
void Walk(const TParamNode& node, const std::function<void(TParamNode&)>& visit) {
    for (const auto& child : node.Children) {
        visit(*child);
        Walk(*child, visit);
    }
}
} // namespace

void TParamTree::ForEach(const std::function<void(TParamNode&)>& visit) const {
    Walk(*RootNode, visit);
}

int TParamTree::NodeCount() const {
    int count = 0;
    ForEach([&count](TParamNode&) { ++count; });
    return count;
}
