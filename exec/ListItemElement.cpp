// ListItemElement: x.k, a copy of one item of a list.
//
// The index must be a single integer within the list. The workspace the
// caller passes has the type the expression expects; an item of that type
// or of a narrower numeric type (which widens on the copy) is accepted. An
// empty item gives an empty value.
#include "exec/IndexElementClasses.h"

#include "core/Errors.h"

namespace vemlor {

const Value* ListItemElement::selectItem() {
    const JMatrix<int>& index = index_.evaluate(*child_);
    if (index.n != 1) raiseRuntime("list item with a non-scalar index");
    if (list_->type() != LIST_VAL) raiseBug("BUG: list item read of a value that is not a list");
    const auto& list = static_cast<const JMatrix<ListItem>&>(*list_);
    int k = index[0];
    if (k < 1 || k > list.n) raiseRuntime("list item", "index out of bounds");
    return list[k - 1].value.get();
}

int ListItemElement::itemType() {
    const Value* item = selectItem();
    return item ? item->type() : DOUBLE_VAL;
}

Value* ListItemElement::pValue(Value* workspace) {
    const Value* item = selectItem();
    if (!item) {
        workspace->clear();
        workspace->kind = KIND_NUMERIC;
        return workspace;
    }
    if (!widensTo(item->type(), workspace->type()))
        raiseRuntime("list item has incompatible data type");
    workspace->assign(*item);
    return workspace;
}

} // namespace vemlor
