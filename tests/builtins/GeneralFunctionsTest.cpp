// General value built-ins, and the families without arguments (NoArg) or
// with an optional one (OptionalArg). Expected values are worked out by hand.
#include "ValueFunctionsSupport.h"
#include "support/Fuzzy.h"

namespace vemlor::test {
namespace {

using Doubles = std::vector<double>;

TEST(Sum, AllElementsOrARange) {
    ValueCalls calls;
    auto m = matrix<DoubleValue>(2, 2, {1, 2, 3, 4});
    auto total = calls.general("sum", {m.get()});
    ASSERT_EQ(total[0]->type(), DOUBLE_VAL);
    EXPECT_EQ(elements(*total[0]), (Doubles{10}));
    auto v = row({1, 2, 3, 4, 5});
    auto two = scalar(2), four = scalar(4), six = scalar(6);
    EXPECT_EQ(elements(*calls.general("sum", {v.get(), two.get()})[0]), (Doubles{14}));
    EXPECT_EQ(elements(*calls.general("sum", {v.get(), two.get(), four.get()})[0]), (Doubles{9}));
    EXPECT_EQ(elements(*calls.general("sum", {v.get(), four.get(), two.get()})[0]), (Doubles{0}));
    EXPECT_EQ(runtimeMessage([&] {
                  calls.general("sum", {v.get(), two.get(), six.get()});
              }),
              "in sum; invalid range");
}

TEST(Sum, KeepsTheNumberClass) {
    ValueCalls calls;
    auto ints = intRow({1, 2, 3});
    auto s = calls.general("sum", {ints.get()});
    ASSERT_EQ(s[0]->type(), INTEGER_VAL);
    EXPECT_EQ(elements(*s[0]), (Doubles{6}));
    auto big = intRow({2000000000, 2000000000});
    EXPECT_EQ(runtimeMessage([&] { calls.general("sum", {big.get()}); }), "integer overflow");
    ComplexValue z;
    z.setShapeKind(2, 1, 0);
    z[0] = complexd(1, 2);
    z[1] = complexd(3, -1);
    auto zs = calls.general("sum", {&z});
    ASSERT_EQ(zs[0]->type(), COMPLEX_VAL);
    EXPECT_EQ(static_cast<ComplexValue&>(*zs[0])[0], complexd(4, 1));
}

TEST(Complex, BuildsFromRealAndImaginaryParts) {
    ValueCalls calls;
    auto re = row({1, 2});
    auto im = row({3, 4});
    auto z = calls.general("complex", {re.get(), im.get()});
    ASSERT_EQ(z[0]->type(), COMPLEX_VAL);
    auto& c = static_cast<ComplexValue&>(*z[0]);
    ASSERT_TRUE(hasShape(c, 2, 1));
    EXPECT_EQ(c[0], complexd(1, 3));
    EXPECT_EQ(c[1], complexd(2, 4));
    EXPECT_EQ(kindCode(c.kind), KIND_COMPLEX);
    auto half = scalar(0.5);
    auto broadcast = calls.general("complex", {half.get(), im.get()});
    EXPECT_EQ(static_cast<ComplexValue&>(*broadcast[0])[1], complexd(0.5, 4));
    auto three = row({1, 2, 3});
    EXPECT_EQ(runtimeMessage([&] {
                  calls.general("complex", {three.get(), im.get()});
              }),
              "in complex; real and imaginary parts differ in shape");
}

TEST(Complex, CdiagBothDirections) {
    ValueCalls calls;
    ComplexValue v;
    v.setShapeKind(2, 1, 0);
    v[0] = complexd(1, 1);
    v[1] = complexd(0, 2);
    auto m = calls.general("cdiag", {&v});
    auto& square = static_cast<ComplexValue&>(*m[0]);
    ASSERT_TRUE(hasShape(square, 4, 2));
    EXPECT_EQ(square[3], complexd(0, 2));
    EXPECT_EQ(square[1], complexd(0, 0));
    auto back = calls.general("cdiag", {&square});
    auto& diagonal = static_cast<ComplexValue&>(*back[0]);
    ASSERT_TRUE(hasShape(diagonal, 2, 2));
    EXPECT_EQ(diagonal[0], complexd(1, 1));
}

TEST(Console, DispShowsEachArgument) {
    ValueCalls calls;
    auto x = scalar(2.5);
    auto s = text("hello");
    auto result = calls.general("disp", {x.get(), s.get()});
    EXPECT_EQ(result[0]->n, 0);
    const auto& lines = calls.context.sink.lines;
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("2.5"), std::string::npos);
    EXPECT_NE(lines[1].find("hello"), std::string::npos);
}

TEST(Console, AssertPassesQuietlyOrStops) {
    ValueCalls calls;
    auto yes = scalar(1), no = scalar(0), value = scalar(7);
    auto note = text("x too big");
    calls.general("assert", {yes.get(), note.get()});
    EXPECT_TRUE(calls.context.sink.lines.empty());
    EXPECT_EQ(runtimeMessage([&] {
                  calls.general("assert", {no.get(), note.get(), value.get()});
              }),
              "assertion failed");
    const auto& lines = calls.context.sink.lines;
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "{r assertion} {:x too big");
    EXPECT_NE(lines[1].find('7'), std::string::npos);
    auto pair = row({1, 1});
    EXPECT_EQ(runtimeMessage([&] { calls.general("assert", {pair.get()}); }),
              "in assert; condition was not scalar");
}

TEST(MultipleOutputs, MultiassignHandsValuesOver) {
    ValueCalls calls;
    auto a = intRow({1, 2});
    auto b = scalar(3.5);
    auto out = calls.general("multiassign", {a.get(), b.get()}, 2);
    ASSERT_EQ(out[0]->type(), DOUBLE_VAL);
    EXPECT_EQ(elements(*out[0]), (Doubles{1, 2}));
    EXPECT_EQ(elements(*out[1]), (Doubles{3.5}));
    EXPECT_EQ(runtimeMessage([&] {
                  calls.general("multiassign", {a.get(), b.get()}, 3);
              }),
              "in multiple assignment; non-matching items");
}

TEST(Lists, ListOfValuesOrEmptyItems) {
    ValueCalls calls;
    auto three = scalar(3);
    auto empties = calls.general("list", {three.get()});
    auto& list = static_cast<ListValue&>(*empties[0]);
    ASSERT_TRUE(hasShape(list, 3, 3));
    EXPECT_EQ(list.kind, KIND_TEXT);
    EXPECT_EQ(list[2].count(), 0);
    auto s = text("ab");
    auto v = row({1, 2});
    auto both = calls.general("list", {s.get(), v.get()});
    auto& items = static_cast<ListValue&>(*both[0]);
    ASSERT_TRUE(hasShape(items, 2, 2));
    EXPECT_EQ(items[0].value->toString(), "ab");
    EXPECT_EQ(elements(*items[1].value), (Doubles{1, 2}));
    auto tooMany = scalar(10000001);
    EXPECT_EQ(runtimeMessage([&] { calls.general("list", {tooMany.get()}); }),
              "attempt to create list of more than 10 million items");
}

std::vector<std::string> itemTexts(const Value& v) {
    std::vector<std::string> out;
    const auto& list = static_cast<const ListValue&>(v);
    for (int i = 0; i < list.n; ++i)
        out.push_back(list[i].value->toString());
    return out;
}

using Texts = std::vector<std::string>;

TEST(Lists, SplitAtBlanksSeparatorsAndDelimiters) {
    ValueCalls calls;
    auto words = text("  one two\tthree ");
    EXPECT_EQ(itemTexts(*calls.general("split", {words.get()})[0]), (Texts{"one", "two", "three"}));
    auto fields = text("a,,b");
    auto comma = text(",");
    EXPECT_EQ(itemTexts(*calls.general("split", {fields.get(), comma.get()})[0]),
              (Texts{"a", "", "b"}));
    auto quoted = text("x,\"y,z\"");
    auto quote = text("\"");
    EXPECT_EQ(itemTexts(*calls.general("split", {quoted.get(), comma.get(), quote.get()})[0]),
              (Texts{"x", "\"y,z\""}));
    auto wide = text(",;");
    EXPECT_EQ(runtimeMessage([&] {
                  calls.general("split", {fields.get(), wide.get()});
              }),
              "only single-character separator allowed");
    EXPECT_EQ(kindCode(calls.general("split", {words.get()})[0]->kind), KIND_TEXT);
}

TEST(Lists, JoinItemsOrRows) {
    ValueCalls calls;
    auto words = text("ab cd");
    auto list = calls.general("split", {words.get()});
    auto joined = calls.general("join", {list[0].get()});
    EXPECT_TRUE(joined[0]->isString());
    EXPECT_EQ(joined[0]->toString(), "abcd");
    auto dash = text("-");
    EXPECT_EQ(calls.general("join", {list[0].get(), dash.get()})[0]->toString(), "ab-cd");
    auto m = matrix<DoubleValue>(2, 2, {1.7, 2, 3, 4});
    auto rows = calls.general("join", {m.get()});
    EXPECT_EQ(elements(*rows[0]), (Doubles{1, 2, 3, 4}));
    ListValue nested;
    nested.setShapeKind(1, 1, KIND_TEXT);
    nested[0].value = std::make_unique<ListValue>();
    EXPECT_EQ(runtimeMessage([&] { calls.general("join", {&nested}); }),
              "join not yet implemented for nested lists");
}

TEST(Lists, PadToALength) {
    ValueCalls calls;
    auto ab = text("ab");
    auto four = scalar(4), zero = scalar(0), nine = scalar(9);
    auto padded = calls.general("pad", {ab.get(), four.get()});
    EXPECT_TRUE(padded[0]->isString());
    EXPECT_EQ(padded[0]->toString(), "ab  ");
    auto v = row({1.9, 2});
    EXPECT_EQ(elements(*calls.general("pad", {v.get(), four.get()})[0]), (Doubles{1, 2, 0, 0}));
    EXPECT_EQ(elements(*calls.general("pad", {v.get(), four.get(), nine.get(), zero.get()})[0]),
              (Doubles{9, 9, 1, 2}));
    auto m = matrix<DoubleValue>(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(runtimeMessage([&] {
                  calls.general("pad", {m.get(), four.get()});
              }),
              "pad does not take matrix input");
    EXPECT_EQ(runtimeMessage([&] {
                  calls.general("pad", {v.get(), v.get()});
              }),
              "invalid argument");
}

TEST(NoArguments, ConstantsStopwatchAndStrayEnd) {
    ValueCalls calls;
    EXPECT_EQ(calls.noArg("pi"), 3.141592653589793);
    EXPECT_EQ(calls.noArg("tic"), 0.0);
    double first = calls.noArg("toc");
    double second = calls.noArg("toc");
    EXPECT_GE(first, 0.0);
    EXPECT_GE(second, first);
    EXPECT_LT(second, 5.0);
    calls.noArg("Toc"); // restarts the stopwatch
    EXPECT_LE(calls.noArg("toc"), second + 5.0);
    EXPECT_EQ(runtimeMessage([&] { calls.noArg("end"); }), "stray 'end' keyword");
    EXPECT_EQ(runtimeMessage([&] { calls.noArg("getch"); }), "getch is not yet available");
}

TEST(OptionalArgument, AnswerAndBooleans) {
    ValueCalls calls;
    calls.context.answerValue = text("last");
    ValuePtr a = calls.optional("ans");
    EXPECT_TRUE(a->isString());
    EXPECT_EQ(a->toString(), "last");
    ValuePtr t = calls.optional("true");
    EXPECT_EQ(t->type(), INTEGER_VAL);
    EXPECT_EQ(elements(*t), (Doubles{1}));
    EXPECT_EQ(t->kind, KIND_BOOL);
    auto shape = row({2, 3});
    ValuePtr f = calls.optional("false", shape.get());
    ASSERT_TRUE(hasShape(*f, 6, 2));
    EXPECT_EQ(elements(*f), Doubles(6, 0.0));
    EXPECT_EQ(f->kind, KIND_BOOL);
}

// Whether `text` has the layout of `pattern`, where '9' stands for any digit.
bool hasLayout(const std::string& text, const std::string& pattern) {
    if (text.size() != pattern.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        bool digit = text[i] >= '0' && text[i] <= '9';
        if (pattern[i] == '9' ? !digit : text[i] != pattern[i]) return false;
    }
    return true;
}

TEST(OptionalArgument, ClockDateAndProgramPath) {
    ValueCalls calls;
    EXPECT_TRUE(hasLayout(calls.optional("oclock")->toString(), "99:99:99"));
    EXPECT_TRUE(hasLayout(calls.optional("today")->toString(), "9999-99-99"));
    auto any = scalar(1);
    ValuePtr date = calls.optional("today", any.get());
    ASSERT_TRUE(hasShape(*date, 3, 1));
    EXPECT_GE(static_cast<IntValue&>(*date)[0], 2024);
    std::string path = calls.optional("exepath")->toString();
    EXPECT_FALSE(path.empty());
    auto name = text("toolbox");
    EXPECT_EQ(calls.optional("exepath", name.get())->toString(), path + "/toolbox");
}

} // namespace
} // namespace vemlor::test
