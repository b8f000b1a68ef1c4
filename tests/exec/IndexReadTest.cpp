// Indexed reads: the element the factory chooses for each index form, and
// what each element selects (constant, computed, mask, empty and sequence
// indices, two indices with string lookup, list items), with every message.
// Constants, ':' and sequences come from the builder's own factories; masks
// and computed indices from small test elements.
// Expected parts are worked out by hand from the column-major layout.
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "exec/ExpressionBuilder.h"
#include "exec/IndexElementClasses.h"
#include "exec/IndexElements.h"
#include "exec/SequenceElement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vemlor {
namespace {

// A computed index (category 0) that writes its value into the workspace.
class ComputedIndex : public Evaluatable {
  public:
    explicit ComputedIndex(std::vector<int> elements, int kind = KIND_NUMERIC)
        : elements_(std::move(elements)), kind_(kind) {}
    Value* pValue(Value* workspace) override {
        workspace->setShapeKind(int(elements_.size()), 1, kind_);
        auto& out = static_cast<JMatrix<int>&>(*workspace);
        std::copy(elements_.begin(), elements_.end(), out.data());
        return workspace;
    }
    int resultType() const override { return INTEGER_VAL; }
    bool refersTo(const Value*) const override { return false; }

  private:
    std::vector<int> elements_;
    int kind_;
};

EvaluatablePtr constant(int k) {
    return makeIntConstant(k);
}
EvaluatablePtr computed(std::vector<int> ks) {
    return std::make_unique<ComputedIndex>(std::move(ks));
}
EvaluatablePtr mask(std::vector<int> bits) {
    return std::make_unique<ComputedIndex>(std::move(bits), KIND_BOOL);
}
EvaluatablePtr text(const std::string& s) {
    std::vector<int> codes(s.begin(), s.end());
    return std::make_unique<ComputedIndex>(std::move(codes), KIND_STRING);
}
EvaluatablePtr whole() {
    return makeOpenSequence();
}
EvaluatablePtr sequence(int start, int stop, int step = 1) {
    return std::make_unique<SequenceElement>(constant(start), constant(stop), constant(step),
                                             INTEGER_VAL);
}

std::vector<EvaluatablePtr> indexList(EvaluatablePtr a, EvaluatablePtr b = nullptr) {
    std::vector<EvaluatablePtr> list;
    list.push_back(std::move(a));
    if (b) list.push_back(std::move(b));
    return list;
}

EvaluatablePtr read(Value& x, EvaluatablePtr a, int colonMode = 0, int mode = SELECT_AUTO) {
    return makeIndexedRead(&x, indexList(std::move(a)), colonMode, mode);
}
EvaluatablePtr read2(Value& x, EvaluatablePtr r, EvaluatablePtr c) {
    return makeIndexedRead(&x, indexList(std::move(r), std::move(c)), 0);
}

// A rows-by-cols integer matrix from elements written row by row.
std::unique_ptr<IntValue> matrix(int rows, int cols, std::vector<int> rowMajor,
                                 int kind = KIND_NUMERIC) {
    auto m = std::make_unique<IntValue>();
    m->setShapeKind(rows * cols, rows, kind);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            (*m)[c * rows + r] = rowMajor[size_t(r * cols + c)];
    return m;
}

std::unique_ptr<IntValue> stringValue(const std::string& s) {
    auto v = std::make_unique<IntValue>();
    v->assignString(s);
    return v;
}

template <class T> std::vector<T> elementsOf(const JMatrix<T>& v) {
    return std::vector<T>(v.data(), v.data() + v.n);
}

// What an evaluation into a fresh integer workspace gave.
struct Part {
    std::vector<int> elements;
    int n = 0, nrow = 0, kind = 0;
    std::string text;
};

Part evaluated(Evaluatable& e) {
    IntValue ws;
    const auto& r = static_cast<const JMatrix<int>&>(*e.pValue(&ws));
    return {elementsOf(r), r.n, r.nrow, r.kind, r.toString()};
}

template <class F> std::string messageOf(F action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

std::string syntax(const std::string& message) {
    return "syntax error, {g " + message;
}

template <class V> void expectShape(const V& v, int n, int nrow, int kind) {
    EXPECT_EQ(v.n, n);
    EXPECT_EQ(v.nrow, nrow);
    EXPECT_EQ(v.kind, kind);
}

TEST(IndexReadFactory, ChoosesTheElementByIndexForm) {
    auto x = matrix(1, 3, {10, 20, 30});
    EvaluatablePtr e = read(*x, constant(2));
    EXPECT_NE(dynamic_cast<ConstIndexElement*>(e.get()), nullptr);
    EXPECT_EQ(e->category(), CAT_VARIABLE);
    EXPECT_EQ(messageOf([&] { read(*x, constant(0)); }), syntax("index must be positive"));

    e = read(*x, computed({2}));
    EXPECT_NE(dynamic_cast<IndexedElementSingle*>(e.get()), nullptr);
    EXPECT_EQ(e->category(), CAT_INDEXED);
    e = read(*x, sequence(1, 2));
    EXPECT_NE(dynamic_cast<IndexedWithSequenceElement*>(e.get()), nullptr);
    e = read2(*x, computed({1}), computed({2}));
    EXPECT_NE(dynamic_cast<IndexedElementDouble*>(e.get()), nullptr);
    EXPECT_EQ(messageOf([&] { read(*x, makeDoubleConstant(1.5)); }),
              syntax("something wrong: index was not an integer"));
    EXPECT_TRUE(e->refersTo(x.get()));
}

TEST(IndexReadFactory, ListsTakeOneOrdinaryIndex) {
    ListValue list;
    list.setShapeKind(2, 1, KIND_TEXT);
    EXPECT_EQ(messageOf([&] { read2(list, computed({1}), computed({1})); }),
              syntax("list indexing with more than 1 index is not yet implemented"));
    const std::string form = syntax("this form of indexing of a list is not yet implemented");
    EXPECT_EQ(messageOf([&] { read(list, whole()); }), form);
    EXPECT_EQ(messageOf([&] { read(list, computed({1}), 1); }), form);
    EXPECT_EQ(messageOf([&] { makeListItemRead(&list, sequence(1, 2)); }), form);
    EXPECT_EQ(messageOf([&] { makeListItemRead(&list, makeDoubleConstant(1.5)); }),
              syntax("something wrong: index was not an integer"));
    // Even a constant index of a list selects a sublist, not a ConstIndexElement.
    EXPECT_NE(dynamic_cast<IndexedElementSingle*>(read(list, constant(1)).get()), nullptr);
}

TEST(ConstIndexRead, ElementOrColumnWithinTheDimension) {
    auto x = matrix(1, 3, {10, 20, 30});
    EvaluatablePtr e = read(*x, constant(3));
    EXPECT_EQ(evaluated(*e).elements, std::vector<int>{30});
    e = read(*x, constant(4));
    EXPECT_EQ(messageOf([&] { evaluated(*e); }), "index exceeds array size");

    auto m = matrix(2, 3, {1, 2, 3, 4, 5, 6});
    Part column = evaluated(*read(*m, constant(2))); // automatic mode: column 2
    expectShape(column, 2, 2, KIND_NUMERIC);
    EXPECT_EQ(column.elements, (std::vector<int>{2, 5}));
    EXPECT_EQ(messageOf([&] { evaluated(*read(*m, constant(4))); }), "index exceeds array size");
    Part element = evaluated(*read(*m, constant(2), 0, SELECT_ELEMENT));
    EXPECT_EQ(element.elements, std::vector<int>{4}); // column-major second element

    auto s = stringValue("abc");
    Part b = evaluated(*read(*s, constant(2)));
    expectShape(b, 1, 1, KIND_STRING);
    EXPECT_EQ(b.elements[0], 'b');
}

TEST(SingleIndexRead, ComputedPositionsAndBounds) {
    auto x = matrix(1, 3, {10, 20, 30});
    Part r = evaluated(*read(*x, computed({3, 1, 3})));
    expectShape(r, 3, 1, KIND_NUMERIC); // a row stays a row
    EXPECT_EQ(r.elements, (std::vector<int>{30, 10, 30}));
    EXPECT_EQ(messageOf([&] { evaluated(*read(*x, computed({0}))); }), "index out of bounds");
    EXPECT_EQ(messageOf([&] { evaluated(*read(*x, computed({1, 4}))); }), "index out of bounds");
    EXPECT_EQ(evaluated(*read(*x, makeEndIndex(x.get(), -1))).elements, std::vector<int>{30});
    auto lastTwo = std::make_unique<SequenceElement>(constant(2), makeEndIndex(x.get(), -1),
                                                     nullptr, INTEGER_VAL);
    EXPECT_EQ(evaluated(*read(*x, std::move(lastTwo))).elements, (std::vector<int>{20, 30}));

    auto col = matrix(3, 1, {10, 20, 30});
    r = evaluated(*read(*col, computed({2, 3})));
    expectShape(r, 2, 2, KIND_NUMERIC);

    auto m = matrix(2, 3, {1, 2, 3, 4, 5, 6});
    r = evaluated(*read(*m, computed({2})));
    EXPECT_EQ(r.elements, (std::vector<int>{2, 5}));
    r = evaluated(*read(*m, computed({3, 1})));
    expectShape(r, 4, 2, KIND_NUMERIC); // columns 3 and 1: [3 1; 6 4]
    EXPECT_EQ(r.elements, (std::vector<int>{3, 6, 1, 4}));
    r = evaluated(*read(*m, computed({5, 2}), 0, SELECT_ELEMENT));
    EXPECT_EQ(r.elements, (std::vector<int>{3, 4}));
    EXPECT_EQ(messageOf([&] { evaluated(*read(*m, computed({4}))); }), "index out of bounds");
}

TEST(SingleIndexRead, MasksAndEmptyIndices) {
    auto x = matrix(1, 4, {10, 20, 30, 40});
    Part r = evaluated(*read(*x, mask({0, 1, 0, 1})));
    EXPECT_EQ(r.elements, (std::vector<int>{20, 40}));
    r = evaluated(*read(*x, mask({0, 0, 1, 0})));
    EXPECT_EQ(r.elements, std::vector<int>{30});
    EXPECT_EQ(messageOf([&] {
                  evaluated(*read(*x, mask({1, 0, 1})));
              }),
              "boolean mask has wrong size");
    r = evaluated(*read(*x, mask({0, 0, 0, 0})));
    expectShape(r, 0, 0, KIND_NUMERIC);

    auto s = stringValue("hello");
    r = evaluated(*read(*s, computed({})));
    expectShape(r, 0, 0, KIND_STRING); // x([]) of a string is an empty string
    auto flags = matrix(1, 2, {1, 0}, KIND_BOOL);
    r = evaluated(*read(*flags, mask({0, 0})));
    EXPECT_EQ(r.kind, KIND_BOOL);
}

TEST(SingleIndexRead, ColonModesWholeDimensionsAndPages) {
    auto m = matrix(2, 3, {1, 2, 3, 4, 5, 6});
    Part r = evaluated(*read(*m, computed({2}), 1)); // m[2,:]
    expectShape(r, 3, 1, KIND_NUMERIC);
    EXPECT_EQ(r.elements, (std::vector<int>{4, 5, 6}));
    r = evaluated(*read(*m, computed({3}), 2)); // m[:,3]
    EXPECT_EQ(r.elements, (std::vector<int>{3, 6}));
    r = evaluated(*read2(*m, computed({1}), whole())); // ':' passed as an index
    EXPECT_EQ(r.elements, (std::vector<int>{1, 2, 3}));
    r = evaluated(*read2(*m, whole(), computed({2, 2})));
    EXPECT_EQ(r.elements, (std::vector<int>{2, 5, 2, 5}));
    r = evaluated(*read2(*m, whole(), whole()));
    EXPECT_EQ(r.elements, elementsOf(*m));
    EXPECT_EQ(messageOf([&] { evaluated(*read(*m, computed({3}), 1)); }), "index out of bounds");

    // Pages [1 2; 3 4] and [5 6; 7 8]: a single index picks a page.
    IntValue a;
    a.setShapeKind(8, 2, kind3D(2));
    const int storage[] = {1, 3, 2, 4, 5, 7, 6, 8};
    std::copy(storage, storage + 8, a.data());
    r = evaluated(*read(a, computed({2})));
    expectShape(r, 4, 2, KIND_NUMERIC);
    EXPECT_EQ(r.elements, (std::vector<int>{5, 7, 6, 8}));
    EXPECT_EQ(messageOf([&] { evaluated(*read(a, computed({3}))); }), "index out of bounds");
}

TEST(DoubleIndexRead, SubmatricesWithRepeatsMasksAndBounds) {
    auto m = matrix(2, 3, {1, 2, 3, 4, 5, 6});
    Part r = evaluated(*read2(*m, computed({2, 1}), computed({3, 3})));
    expectShape(r, 4, 2, KIND_NUMERIC); // [6 6; 3 3]
    EXPECT_EQ(r.elements, (std::vector<int>{6, 3, 6, 3}));
    r = evaluated(*read2(*m, mask({0, 1}), mask({1, 0, 1})));
    EXPECT_EQ(r.elements, (std::vector<int>{4, 6}));
    r = evaluated(*read2(*m, sequence(1, 2), constant(2)));
    EXPECT_EQ(r.elements, (std::vector<int>{2, 5}));

    EXPECT_EQ(messageOf([&] { evaluated(*read2(*m, computed({3}), computed({1}))); }),
              "row index out of bounds");
    EXPECT_EQ(messageOf([&] { evaluated(*read2(*m, computed({1}), computed({0}))); }),
              "column index out of bounds");
    EXPECT_EQ(messageOf([&] { evaluated(*read2(*m, mask({1}), computed({1}))); }),
              "boolean mask has wrong size for rows");
    EXPECT_EQ(messageOf([&] {
                  evaluated(*read2(*m, computed({1}), mask({1, 1})));
              }),
              "boolean mask has wrong size for columns");

    ListValue list;
    list.setShapeKind(2, 1, KIND_TEXT);
    IndexedElementDouble onList(&list, computed({1}), computed({1}));
    ListValue ws;
    EXPECT_EQ(messageOf([&] { onList.pValue(&ws); }), "two indices but it is not a matrix");
}

TEST(DoubleIndexRead, StringLookupFindsRowsAndColumns) {
    // ["abc"; "de "] as a character matrix.
    auto names = matrix(2, 3, {'a', 'b', 'c', 'd', 'e', ' '}, KIND_STRING);
    Part r = evaluated(*read2(*names, text("de"), text("row")));
    expectShape(r, 3, 1, KIND_STRING);
    EXPECT_EQ(r.text, "de ");
    r = evaluated(*read2(*names, text("be"), text("col")));
    expectShape(r, 2, 2, KIND_STRING);
    EXPECT_EQ(r.elements, (std::vector<int>{'b', 'e'}));
    EXPECT_EQ(messageOf([&] { evaluated(*read2(*names, text("d"), text("row"))); }),
              "key not recognized"); // "d" alone is not "de"
    EXPECT_EQ(messageOf([&] { evaluated(*read2(*names, text("abc"), computed({1}))); }),
              "string indexing with non-string 2nd index");
    IndexedElementDouble againstColon(names.get(), text("abc"), whole());
    EXPECT_EQ(messageOf([&] { evaluated(againstColon); }),
              "string indexing with non-string 2nd index");
}

TEST(SequenceIndexRead, CopiesStraightFromTheParts) {
    auto x = matrix(1, 5, {10, 20, 30, 40, 50});
    Part r = evaluated(*read(*x, sequence(2, 4)));
    expectShape(r, 3, 1, KIND_NUMERIC);
    EXPECT_EQ(r.elements, (std::vector<int>{20, 30, 40}));
    r = evaluated(*read(*x, sequence(5, 1, -2)));
    EXPECT_EQ(r.elements, (std::vector<int>{50, 30, 10}));
    r = evaluated(*read(*x, sequence(3, 2)));
    expectShape(r, 0, 0, KIND_NUMERIC);
    const std::string bounds = "in sequenced index; index out of bounds";
    EXPECT_EQ(messageOf([&] { evaluated(*read(*x, sequence(0, 2))); }), bounds);
    EXPECT_EQ(messageOf([&] { evaluated(*read(*x, sequence(4, 6))); }), bounds);

    auto s = stringValue("hello");
    r = evaluated(*read(*s, sequence(2, 4)));
    expectShape(r, 3, 1, KIND_STRING);
    EXPECT_EQ(r.text, "ell");

    auto m = matrix(3, 2, {1, 2, 3, 4, 5, 6});
    r = evaluated(*read(*m, sequence(2, 3), 1)); // m[2:3,:]
    expectShape(r, 4, 2, KIND_NUMERIC);
    EXPECT_EQ(r.elements, (std::vector<int>{3, 5, 4, 6}));
    r = evaluated(*read(*m, sequence(2, 1, -1))); // columns 2 and 1
    EXPECT_EQ(r.elements, (std::vector<int>{2, 4, 6, 1, 3, 5}));

    DoubleValue wider; // a wider workspace gets the part widened
    EvaluatablePtr e = read(*x, sequence(1, 2));
    Value* out = e->pValue(&wider);
    ASSERT_EQ(out, &wider);
    EXPECT_EQ(elementsOf(wider), (std::vector<double>{10, 20}));
}

TEST(SequenceIndexRead, ListPartsAreDeepCopies) {
    ListValue list;
    list.setShapeKind(3, 1, KIND_TEXT);
    list[1].value = std::make_unique<DoubleValue>(2.5);
    EvaluatablePtr e = read(list, sequence(2, 3));
    ListValue part;
    e->pValue(&part);
    expectShape(part, 2, 1, KIND_TEXT);
    ASSERT_NE(part[0].value, nullptr);
    EXPECT_NE(part[0].value.get(), list[1].value.get());
    EXPECT_EQ(part[0].value->scalarDouble(), 2.5);
    EXPECT_TRUE(part[1].empty());
}

TEST(ListItemRead, TypesBoundsAndEmptyItems) {
    ListValue list;
    list.setShapeKind(3, 1, KIND_TEXT);
    list[0].value = std::make_unique<IntValue>(5);
    list[1].value = std::make_unique<DoubleValue>(2.5);
    auto item = [&](EvaluatablePtr index) { return makeListItemRead(&list, std::move(index)); };

    EvaluatablePtr first = item(constant(1));
    EXPECT_EQ(first->resultType(), LIST_ITEM_TYPE);
    EXPECT_EQ(first->category(), CAT_LIST_ITEM);
    EXPECT_TRUE(first->refersTo(&list));
    IntValue i;
    first->pValue(&i);
    EXPECT_EQ(elementsOf(i), std::vector<int>{5});
    DoubleValue d;
    first->pValue(&d); // an integer item widens into a double workspace
    EXPECT_EQ(elementsOf(d), std::vector<double>{5.0});

    EvaluatablePtr second = item(constant(2));
    EXPECT_EQ(static_cast<ListItemElement&>(*second).itemType(), DOUBLE_VAL);
    EXPECT_EQ(messageOf([&] { second->pValue(&i); }), "list item has incompatible data type");
    second->pValue(&d);
    EXPECT_EQ(elementsOf(d), std::vector<double>{2.5});

    item(constant(3))->pValue(&d);
    EXPECT_EQ(d.n, 0);
    EXPECT_EQ(messageOf([&] { item(constant(4))->pValue(&d); }),
              "in list item; index out of bounds");
    EXPECT_EQ(messageOf([&] { item(computed({0}))->pValue(&d); }),
              "in list item; index out of bounds");
    EXPECT_EQ(messageOf([&] {
                  item(computed({1, 2}))->pValue(&d);
              }),
              "list item with a non-scalar index");
}

TEST(IndexReadScratch, RepeatedEvaluationReusesTheWorkspace) {
    auto x = matrix(1, 6, {1, 2, 3, 4, 5, 6});
    IntValue ws;
    EvaluatablePtr single = read(*x, computed({6, 1, 2}));
    single->pValue(&ws);
    const int* buffer = ws.data();
    single->pValue(&ws);
    EXPECT_EQ(ws.data(), buffer);
    EvaluatablePtr seq = read(*x, sequence(4, 6));
    seq->pValue(&ws);
    EXPECT_EQ(ws.data(), buffer);
    EXPECT_EQ(elementsOf(ws), (std::vector<int>{4, 5, 6}));
}

} // namespace
} // namespace vemlor
