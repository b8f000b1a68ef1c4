// The value classes as a whole: construction, type and kind names, strings,
// scalars, assignment and widening, the condition and extreme queries, text
// of single elements, the factories, and the in-place unary operations.
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/ValueTestSupport.h"
#include "support/Fuzzy.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>

namespace vemlor {
namespace {

using test::codeOf;
using test::columnOf;
using test::elementsOf;
using test::fuzzyEqual;
using test::matrixOf;
using test::rowOf;
using test::runtimeMessage;
using test::stringOf;

TEST(ValueBasics, FreshValuesAreEmptyAndScalarsAreOneByOne) {
    IntValue i;
    DoubleValue d;
    ComplexValue c;
    ListValue l;
    for (const Value* v : std::initializer_list<const Value*>{&i, &d, &c, &l}) {
        EXPECT_EQ(v->n, 0);
        EXPECT_EQ(v->nrow, 0);
        EXPECT_EQ(v->kind, 0);
        EXPECT_EQ(v->rawData(), nullptr);
        EXPECT_EQ(v->ncol(), 0); // no division by the zero row count
    }
    DoubleValue x(2.5);
    IntValue k(-7);
    ComplexValue z(complexd(1, -2));
    EXPECT_EQ(x.n, 1);
    EXPECT_EQ(x.nrow, 1);
    EXPECT_EQ(x.kind, 0);
    EXPECT_EQ(x[0], 2.5);
    EXPECT_EQ(k[0], -7);
    EXPECT_EQ(z[0], complexd(1, -2));
}

TEST(ValueBasics, TypeAndKindNames) {
    EXPECT_EQ(typeName(0), "int");
    EXPECT_EQ(typeName(1), "double");
    EXPECT_EQ(typeName(2), "complex");
    EXPECT_EQ(typeName(3), "list");
    EXPECT_EQ(typeName(4), "");
    EXPECT_EQ(typeName(-1), "");

    const char* kinds[] = {"numeric", "string", "bool", "complex", "---list",
                           "text",    "array",  "set",  "stack",   "queue"};
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(kindName(k), kinds[k]) << k;
    EXPECT_EQ(kindName(10), "");
    EXPECT_EQ(kindName(KIND_FUNCREF), "");
    EXPECT_EQ(kindName(kind3D(4)), "set"); // the page count above the code is ignored
}

TEST(ValueBasics, ThreeDimensionalColumnCount) {
    // 2 rows, 3 columns per page, 4 pages.
    DoubleValue a;
    a.setShapeKind(24, 2, kind3D(4));
    EXPECT_EQ(a.kind, 4 * 16 + 7);
    EXPECT_EQ(a.ncol3D(), 3);
    EXPECT_EQ(a.ncol(), 12);

    DoubleValue flat;
    flat.setShapeKind(6, 2, 0);
    try {
        (void)flat.ncol3D();
        FAIL() << "ncol3D accepted a 2-D value";
    } catch (const InternalError& e) {
        EXPECT_STREQ(e.what(), "BUG: page columns asked of a value that is not 3-D");
    }
}

TEST(ValueStrings, CharactersAreSignedEightBitCodes) {
    auto s = stringOf("Ab\xC8");
    EXPECT_EQ(s->n, 3);
    EXPECT_EQ(s->nrow, 1);
    EXPECT_EQ(s->kind, KIND_STRING);
    EXPECT_EQ(elementsOf(*s), (std::vector<int>{65, 98, -56})); // 200 - 256
    EXPECT_EQ(s->toString(), "Ab\xC8");

    DoubleValue d;
    d.assignString("\xC8z");
    EXPECT_EQ(d.kind, KIND_STRING);
    EXPECT_EQ(elementsOf(d), (std::vector<double>{-56.0, 122.0}));

    auto empty = stringOf("");
    EXPECT_EQ(empty->n, 0);
    EXPECT_EQ(empty->kind, KIND_STRING);
    EXPECT_EQ(empty->toString(), "");

    ComplexValue z(complexd(1, 1));
    EXPECT_EQ(runtimeMessage([&] { z.assignString("abc"); }),
              "you can't assign a character string to a complex value");
    EXPECT_EQ(z[0], complexd(1, 1)); // left as it was
}

TEST(ValueStrings, ToStringTakesLowBitsAndReadsMatricesByRow) {
    // 321 = 256 + 65 and -191 = -256 + 65 both end in the byte of 'A'.
    auto wide = rowOf<IntValue>({321, -191, 66});
    EXPECT_EQ(wide->toString(), "AAB");
    // Doubles are truncated toward zero first: 65.9 -> 'A', -56.5 -> -56 -> byte 200.
    auto d = rowOf<DoubleValue>({65.9, 66.2, -56.5});
    EXPECT_EQ(d->toString(), "AB\xC8");
    // A column is one string read top to bottom.
    auto col = columnOf<IntValue>({'h', 'i'});
    EXPECT_EQ(col->toString(), "hi");
    // Rows "abc" and "def" of a 2-by-3 character matrix.
    auto m = matrixOf<IntValue>(2, 3, {'a', 'b', 'c', 'd', 'e', 'f'}, KIND_STRING);
    EXPECT_EQ(m->toString(), "abcdef");
}

TEST(ValueStrings, DescribedAsStringOrArrayOfStrings) {
    auto m = matrixOf<IntValue>(2, 3, {'a', 'b', 'c', 'd', 'e', 'f'}, KIND_STRING);
    EXPECT_EQ(stringShapeName(*m), "array of strings");
    auto row = stringOf("hello");
    EXPECT_EQ(stringShapeName(*row), "string");
    auto col = matrixOf<IntValue>(5, 1, {'h', 'e', 'l', 'l', 'o'}, KIND_STRING);
    EXPECT_EQ(stringShapeName(*col), "string");
}

TEST(ValueScalars, AssignScalarTruncatesTowardZeroForIntegers) {
    IntValue i;
    i.setShapeKind(4, 2, KIND_BOOL);
    i.assignScalar(-2.7);
    EXPECT_EQ(i.n, 1);
    EXPECT_EQ(i.nrow, 1);
    EXPECT_EQ(i.kind, 0);
    EXPECT_EQ(i[0], -2);
    i.assignScalar(2.999);
    EXPECT_EQ(i[0], 2);
    // Out of range or NaN: the hardware's "integer indefinite", never UB.
    i.assignScalar(std::nan(""));
    EXPECT_EQ(i[0], INT_MIN);
    i.assignScalar(3e9);
    EXPECT_EQ(i[0], INT_MIN);

    DoubleValue d;
    d.assignScalarInt(-5);
    EXPECT_EQ(d[0], -5.0);
    ComplexValue z;
    z.assignScalar(1.5);
    EXPECT_EQ(z[0], complexd(1.5, 0));
}

TEST(ValueScalars, ScalarReadsOnlyForIntegersAndDoubles) {
    EXPECT_EQ(IntValue(-9).scalarDouble(), -9.0);
    EXPECT_EQ(IntValue(-9).scalarInt(), -9);
    EXPECT_TRUE(fuzzyEqual(DoubleValue(-3.9).scalarDouble(), -3.9));
    EXPECT_EQ(DoubleValue(-3.9).scalarInt(), -3);
    EXPECT_EQ(DoubleValue(3.9).scalarInt(), 3);
    EXPECT_EQ(ComplexValue(complexd(4, 1)).scalarDouble(), 0.0);
    EXPECT_EQ(ComplexValue(complexd(4, 1)).scalarInt(), 0);
    ListValue l;
    l.assignScalar(5);
    EXPECT_EQ(l.scalarDouble(), 0.0);
    EXPECT_EQ(DoubleValue().scalarDouble(), 0.0); // no first element
    auto m = rowOf<DoubleValue>({7.5, 1.0});
    EXPECT_EQ(m->scalarDouble(), 7.5);
}

TEST(ValueAssign, CopyFromCopiesShapeKindAndElements) {
    auto src = matrixOf<DoubleValue>(2, 2, {1.0, 2.0, 3.0, 4.0}, KIND_BOOL);
    DoubleValue dst(9.0);
    dst.copyFrom(*src);
    EXPECT_EQ(dst.n, 4);
    EXPECT_EQ(dst.nrow, 2);
    EXPECT_EQ(dst.kind, KIND_BOOL);
    EXPECT_EQ(elementsOf(dst), (std::vector<double>{1, 3, 2, 4}));
    EXPECT_NE(dst.data(), src->data());

    dst.copyFrom(dst); // itself: nothing happens
    EXPECT_EQ(elementsOf(dst), (std::vector<double>{1, 3, 2, 4}));

    IntValue other(1);
    EXPECT_THROW(dst.copyFrom(other), InternalError);
}

TEST(ValueAssign, ConvertedWidensButNeverNarrows) {
    auto ints = matrixOf<IntValue>(2, 3, {1, 2, 3, 4, 5, 6}, KIND_BOOL);
    ComplexValue z;
    z.assignConverted(*ints);
    EXPECT_EQ(z.n, 6);
    EXPECT_EQ(z.nrow, 2);
    EXPECT_EQ(z.kind, KIND_BOOL);
    EXPECT_EQ(elementsOf(z), (std::vector<complexd>{1, 4, 2, 5, 3, 6}));
    for (const complexd& e : elementsOf(z))
        EXPECT_EQ(e.imag(), 0.0);

    DoubleValue d;
    d.assign(*ints); // assign forwards to assignConverted
    EXPECT_EQ(elementsOf(d), (std::vector<double>{1, 4, 2, 5, 3, 6}));
    EXPECT_EQ(d.nrow, 2);
    ComplexValue fromDouble;
    fromDouble.assignConverted(DoubleValue(-0.5));
    EXPECT_EQ(fromDouble[0], complexd(-0.5, 0));

    IntValue i(3);
    EXPECT_EQ(codeOf([&] { i.assignConverted(DoubleValue(2.0)); }),
              "incompatible lhs, rhs in assignment");
    EXPECT_EQ(codeOf([&] { i.assignConverted(z); }), "incompatible lhs, rhs in assignment");
    EXPECT_EQ(codeOf([&] { d.assignConverted(z); }), "incompatible lhs, rhs in assignment");
    ListValue l;
    l.assignScalar(1);
    EXPECT_EQ(codeOf([&] { d.assignConverted(l); }), "incompatible lhs, rhs in assignment");
    EXPECT_EQ(codeOf([&] { l.assignConverted(d); }), "incompatible lhs, rhs in assignment");
    EXPECT_EQ(i[0], 3); // a refused assignment changes nothing

    DoubleValue fromCtor(*ints);
    EXPECT_EQ(fromCtor.kind, KIND_BOOL);
    EXPECT_EQ(fromCtor.ncol(), 3);
    EXPECT_EQ(fromCtor[5], 6.0);
}

TEST(ValueQueries, ConditionsCountComplexByRealPart) {
    ComplexValue imaginary(complexd(0, 2));
    EXPECT_FALSE(imaginary.anyNonzero());
    EXPECT_FALSE(imaginary.allNonzero());
    ComplexValue real(complexd(2, 0));
    EXPECT_TRUE(real.anyNonzero());
    EXPECT_TRUE(real.allNonzero());

    EXPECT_TRUE(IntValue().allNonzero()); // vacuously
    EXPECT_FALSE(IntValue().anyNonzero());
    auto mixed = rowOf<DoubleValue>({0.0, -0.25, 0.0});
    EXPECT_TRUE(mixed->anyNonzero());
    EXPECT_FALSE(mixed->allNonzero());
    auto zeros = rowOf<IntValue>({0, 0});
    EXPECT_FALSE(zeros->anyNonzero());
    auto ones = rowOf<IntValue>({1, -1, 3});
    EXPECT_TRUE(ones->allNonzero());
}

TEST(ValueQueries, ExtremesTakeTheFirstOfEquals) {
    EXPECT_EQ(rowOf<IntValue>({3, 7, 7})->indexOfMax(), 1);
    EXPECT_EQ(rowOf<IntValue>({5, 2, 9, 2})->indexOfMin(), 1);
    EXPECT_EQ(rowOf<DoubleValue>({-1.5, -4.0, 2.0, -4.0})->indexOfMin(), 1);
    EXPECT_EQ(rowOf<DoubleValue>({-1.5, -4.0, 2.0, 2.0})->indexOfMax(), 2);
    EXPECT_EQ(DoubleValue().indexOfMin(), 0);
    EXPECT_EQ(DoubleValue().indexOfMax(), 0);
    // Moduli 5, 6, 1 and 6: the real part alone would pick other positions.
    auto z =
        rowOf<ComplexValue>({complexd(3, 4), complexd(-6, 0), complexd(0, 1), complexd(0, -6)});
    EXPECT_EQ(z->indexOfMax(), 1);
    EXPECT_EQ(z->indexOfMin(), 2);
}

TEST(ValueQueries, NonzeroPositionsAreOneBased) {
    auto v = rowOf<IntValue>({0, 0, 5, 0, 3, 0});
    EXPECT_EQ(v->firstNonzero(), 3);
    EXPECT_EQ(v->lastNonzero(), 5);
    auto zeros = rowOf<DoubleValue>({0.0, 0.0});
    EXPECT_EQ(zeros->firstNonzero(), 0);
    EXPECT_EQ(zeros->lastNonzero(), 0);
    EXPECT_EQ(DoubleValue().firstNonzero(), 0);
    auto one = rowOf<DoubleValue>({0.5});
    EXPECT_EQ(one->firstNonzero(), 1);
    EXPECT_EQ(one->lastNonzero(), 1);
}

TEST(ValueText, StringItemFormatsAtTheGivenPrecision) {
    auto ints = rowOf<IntValue>({-42, 0, 2147483647});
    EXPECT_EQ(ints->stringItem(0, 9), "-42");
    EXPECT_EQ(ints->stringItem(2, 3), "2147483647"); // integers ignore the precision
    auto d = rowOf<DoubleValue>({1e5, 2.5e-7, 3.14159265358979, 0.1});
    EXPECT_EQ(d->stringItem(0, 5), "1e5");
    EXPECT_EQ(d->stringItem(1, 5), "2.5e-7");
    EXPECT_EQ(d->stringItem(2, 4), "3.142");
    EXPECT_EQ(d->stringItem(2, 9), "3.14159265");
    EXPECT_EQ(d->stringItem(3, 9), "0.1");
    auto z = rowOf<ComplexValue>({complexd(1, 1e-20), complexd(1, -2)});
    EXPECT_EQ(z->stringItem(0, 9), "1");
    EXPECT_EQ(z->stringItem(1, 9), "1-2i");
    EXPECT_EQ(codeOf([&] { (void)d->stringItem(4, 9); }), "out of bounds error");
}

// A value of a class outside the four type codes.
class StrangeValue : public DoubleValue {
  public:
    StrangeValue() { type_ = 7; }
};

TEST(ValueFactories, NewValueByTypeCode) {
    test::RecordingSink sink;
    for (int code = 0; code <= 3; ++code) {
        ValuePtr v = newValue(code, &sink);
        EXPECT_EQ(v->type(), code);
        EXPECT_EQ(v->n, 0);
    }
    EXPECT_TRUE(sink.lines.empty());
    ValuePtr fallback = newValue(9, &sink);
    EXPECT_EQ(fallback->type(), DOUBLE_VAL);
    EXPECT_EQ(fallback->n, 0);
    EXPECT_EQ(sink.lines,
              (std::vector<std::string>{"variable of unknown type declared; double assumed"}));
    EXPECT_EQ(newValue(-1)->type(), DOUBLE_VAL); // no sink: still a double, silently
}

TEST(ValueFactories, NewValueCopyIsDeepAndKeepsEverything) {
    auto src = matrixOf<ComplexValue>(2, 1, {complexd(1, 2), complexd(3, 4)}, KIND_COMPLEX);
    ValuePtr copy = newValueCopy(*src);
    ASSERT_EQ(copy->type(), COMPLEX_VAL);
    auto& z = static_cast<ComplexValue&>(*copy);
    EXPECT_EQ(z.n, 2);
    EXPECT_EQ(z.nrow, 2);
    EXPECT_EQ(z.kind, KIND_COMPLEX);
    z[0] = 0;
    EXPECT_EQ((*src)[0], complexd(1, 2));

    StrangeValue strange;
    try {
        (void)newValueCopy(strange);
        FAIL() << "a value of unknown type was copied";
    } catch (const InternalError& e) {
        EXPECT_STREQ(e.what(), "BUG: copy of a value of unknown type");
    }
}

TEST(ValueUnary, TransposeRearrangesMatricesAndSwapsVectors) {
    // [1 2 3; 4 5 6] becomes [1 4; 2 5; 3 6].
    auto m = matrixOf<IntValue>(2, 3, {1, 2, 3, 4, 5, 6}, KIND_BOOL);
    m->transpose();
    EXPECT_EQ(m->nrow, 3);
    EXPECT_EQ(m->ncol(), 2);
    EXPECT_EQ(m->kind, KIND_BOOL);
    EXPECT_EQ(elementsOf(*m), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    m->transpose();
    EXPECT_EQ(elementsOf(*m), (std::vector<int>{1, 4, 2, 5, 3, 6}));

    auto row = rowOf<DoubleValue>({1.0, 2.0, 3.0});
    const double* before = row->data();
    row->transpose();
    EXPECT_EQ(row->nrow, 3);
    EXPECT_EQ(row->data(), before); // a vector keeps its buffer
    row->transpose();
    EXPECT_EQ(row->nrow, 1);

    DoubleValue empty;
    empty.transpose();
    EXPECT_EQ(empty.nrow, 0);
}

TEST(ValueUnary, ConjugateNotAndNegateInPlace) {
    auto z = rowOf<ComplexValue>({complexd(1, 2), complexd(-3, -4)});
    z->conjugate();
    EXPECT_EQ(elementsOf(*z), (std::vector<complexd>{{1, -2}, {-3, 4}}));
    z->negate();
    EXPECT_EQ(elementsOf(*z), (std::vector<complexd>{{-1, 2}, {3, -4}}));

    auto d = rowOf<DoubleValue>({0.0, 2.5, -1.0});
    d->conjugate(); // nothing for real values
    EXPECT_EQ(elementsOf(*d), (std::vector<double>{0.0, 2.5, -1.0}));
    d->logicalNot();
    EXPECT_EQ(elementsOf(*d), (std::vector<double>{1.0, 0.0, 0.0}));

    auto i = rowOf<IntValue>({0, 7, INT_MIN, -3});
    EXPECT_EQ(runtimeMessage([&] { i->negate(); }), "integer overflow");
    EXPECT_EQ(elementsOf(*i), (std::vector<int>{0, 7, INT_MIN, -3}));
    i = rowOf<IntValue>({0, 7, INT_MAX, -3});
    i->negate();
    EXPECT_EQ(elementsOf(*i), (std::vector<int>{0, -7, -INT_MAX, 3}));
    i->logicalNot();
    EXPECT_EQ(elementsOf(*i), (std::vector<int>{1, 0, 0, 0}));

    auto c = rowOf<ComplexValue>({complexd(0, 0), complexd(0, 1)});
    c->logicalNot();
    EXPECT_EQ(elementsOf(*c), (std::vector<complexd>{1, 0}));
}

} // namespace
} // namespace vemlor
