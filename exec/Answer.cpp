#include "exec/Answer.h"

#include "core/Errors.h"

#include <array>

namespace vemlor {

namespace {

struct AnswerStore {
    std::array<ValuePtr, 4> byType{newValue(INTEGER_VAL), newValue(DOUBLE_VAL),
                                   newValue(COMPLEX_VAL), newValue(LIST_VAL)};
    int type = DOUBLE_VAL;
};

AnswerStore& store() {
    static AnswerStore answers;
    return answers;
}

} // namespace

void Answer::set(const Value& v) {
    int type = v.type();
    if (type < INTEGER_VAL || type > LIST_VAL)
        raiseRuntime("something wrong: answer of unknown type");
    AnswerStore& s = store();
    if (type != s.type) s.byType[s.type]->clear();
    s.byType[type]->assign(v); // a list is copied item by item, not wrapped
    s.type = type;
}

const Value& Answer::value() {
    return *store().byType[store().type];
}

void Answer::clear() {
    // As at start-up: empty values of every type, none with the kind (a
    // boolean, a string) of what was last kept.
    store() = AnswerStore{};
}

} // namespace vemlor
