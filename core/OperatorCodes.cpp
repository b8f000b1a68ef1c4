#include "core/OperatorCodes.h"

#include <array>
#include <utility>

namespace vemlor {
namespace {

constexpr std::array<std::pair<char, int>, 33> kOperatorTable{{
    {'^', OP_POWER},
    {'R', OP_MATRIX_POWER},
    {'*', OP_TIMES},
    {'/', OP_DIVIDE},
    {'.', OP_MATRIX_PRODUCT},
    {'@', OP_KRONECKER},
    {'v', OP_CROSS},
    {'_', OP_INT_DIVIDE},
    {'+', OP_PLUS},
    {'-', OP_MINUS},
    {'u', OP_MOD},
    {'p', OP_VECTOR_ADD},
    {'m', OP_VECTOR_SUB},
    {'a', OP_BITAND},
    {'r', OP_BITOR},
    {'X', OP_BITXOR},
    {'<', OP_LESS},
    {'L', OP_LESS_EQUAL},
    {'E', OP_EQUAL},
    {'I', OP_IDENTICAL},
    {'N', OP_NOT_EQUAL},
    {'G', OP_GREATER_EQUAL},
    {'>', OP_GREATER},
    {'A', OP_AND_SHORT},
    {'&', OP_AND},
    {'O', OP_OR_SHORT},
    {'|', OP_OR},
    {'x', OP_XOR},
    {',', OP_HCAT},
    {';', OP_VCAT},
    {'?', OP_QUERY},
    {'W', OP_QUERY_ELSE},
    {'\0', OP_END},
}};

} // namespace

int opCodeOf(char c) {
    for (auto [ch, value] : kOperatorTable)
        if (ch == c) return value;
    return -1;
}

} // namespace vemlor
