#include "menulib/page_model.h"

#include <cwchar>

#include "menulib/menu_model.h"
#include "menulib/menu_props.h"
#include "menulib/toolbar_model.h"

namespace ostrel {

std::wstring MenuListLine(const std::wstring& name, int index, const std::wstring& caption, bool hasIcon) {
    std::wstring shown;
    for (wchar_t ch : TrimSpaces(caption)) shown += ch == L'\t' ? std::wstring(L"\\t") : std::wstring(1, ch);
    return std::wstring(hasIcon ? L"*" : L"") + L"\t" + shown + L"\t" + IconKeyOf(name, index).substr(1);
}

std::optional<std::wstring> MenuChoice(const std::wstring& name, int index, const std::wstring& caption) {
    if (caption.starts_with(L"-")) return std::nullopt;
    return IconKeyOf(name, index).substr(1) + L" (" + TrimSpaces(caption) + L")";
}

std::wstring KeyOfChoice(const std::wstring& choice) { return L"#" + choice.substr(0, choice.find(L' ')); }

std::wstring MaskText(OleColor mask) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"#%X", static_cast<unsigned>(mask));
    return buffer;
}

OleColor ParseMaskText(const std::wstring& text) {
    if (text.size() < 2) return 0;
    return static_cast<OleColor>(std::wcstoul(text.c_str() + 1, nullptr, 16));
}

std::wstring IconCountText(size_t count) { return L"共设置了" + std::to_wstring(count) + L"个图标"; }

int SettlePreview(int frame, int picture, int position) {
    if (picture < frame) return (frame - picture) / 2;
    if (position > 0) return 0;
    if (position < frame - picture) return frame - picture;
    return position;
}

const std::vector<EdgeNode>& EdgeTree() {
    using K = EdgeFlagKind;
    static const std::vector<EdgeNode> nodes = {
        {L'C', 15, L"Edge Rectangle", -1, K::None},
        {L'C', 3, L"Edge TopLeft", 0, K::None},
        {L'C', part::kTop, L"Edge Top", 1, K::Part},
        {L'C', part::kLeft, L"Edge Left", 1, K::Part},
        {L'C', 12, L"Edge BottomRight", 0, K::None},
        {L'C', part::kBottom, L"Edge Bottom", 4, K::Part},
        {L'C', part::kRight, L"Edge Right", 4, K::Part},
        {L'F', edge::kButton, L"ButtonBorder", -1, K::None},
        {L'F', edge::kRaisedOuter, L"Raised Outer", 7, K::Style},
        {L'F', edge::kRaisedInner, L"Raised Inner", 7, K::Style},
        {L'F', edge::kControl, L"ControlBorder", -1, K::None},
        {L'F', edge::kSunkenOuter, L"Sunken Outer", 10, K::Style},
        {L'F', edge::kSunkenInner, L"Sunken Inner", 10, K::Style},
        {L'F', part::kSoft, L"Soft Edge", -1, K::Part},
        {L'F', part::kFlat, L"Flat Edge", -1, K::Part},
        {L'F', part::kMono, L"Monochrome Edge", -1, K::Part},
    };
    return nodes;
}

namespace {

bool IsLeaf(int node) {
    for (const EdgeNode& n : EdgeTree())
        if (n.parent == node) return false;
    return true;
}

// Parents from their children, deepest first (children always follow their parent).
void RecomputeParents(std::vector<CheckImage>& checks) {
    const std::vector<EdgeNode>& tree = EdgeTree();
    for (int node = static_cast<int>(tree.size()) - 1; node >= 0; --node) {
        if (IsLeaf(node)) continue;
        bool all = true, none = true;
        for (size_t child = 0; child < tree.size(); ++child) {
            if (tree[child].parent != node) continue;
            all = all && checks[child] == CheckImage::Checked;
            none = none && checks[child] == CheckImage::Unchecked;
        }
        checks[node] = all ? CheckImage::Checked : none ? CheckImage::Unchecked : CheckImage::Partial;
    }
}

void SetSubtree(std::vector<CheckImage>& checks, int node, CheckImage image) {
    checks[node] = image;
    const std::vector<EdgeNode>& tree = EdgeTree();
    for (size_t child = 0; child < tree.size(); ++child)
        if (tree[child].parent == node) SetSubtree(checks, static_cast<int>(child), image);
}

}  // namespace

std::vector<CheckImage> EdgeChecks(int borderPart, int borderStyle) {
    const std::vector<EdgeNode>& tree = EdgeTree();
    std::vector<CheckImage> checks(tree.size(), CheckImage::Unchecked);
    for (size_t i = 0; i < tree.size(); ++i) {
        const EdgeNode& n = tree[i];
        // The three edge options have no parent group and start unchecked.
        if (n.parent < 0) continue;
        const int word = n.kind == EdgeFlagKind::Part ? borderPart : borderStyle;
        if (n.kind != EdgeFlagKind::None && HasAllFlags(word, n.value)) checks[i] = CheckImage::Checked;
    }
    RecomputeParents(checks);
    return checks;
}

void ToggleEdgeNode(std::vector<CheckImage>& checks, int node) {
    SetSubtree(checks, node, checks[node] == CheckImage::Checked ? CheckImage::Unchecked : CheckImage::Checked);
    RecomputeParents(checks);
}

EdgeFlags ApplyEdgeChecks(const std::vector<CheckImage>& checks, EdgeFlags flags) {
    const std::vector<EdgeNode>& tree = EdgeTree();
    for (size_t i = 0; i < tree.size(); ++i) {
        const EdgeNode& n = tree[i];
        if (n.kind == EdgeFlagKind::None) continue;
        int& word = n.kind == EdgeFlagKind::Part ? flags.borderPart : flags.borderStyle;
        word = WithFlags(word, n.value, checks[i] == CheckImage::Checked);
    }
    return flags;
}

}  // namespace ostrel
