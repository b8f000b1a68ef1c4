// The compiled form of elementwise expressions over long vectors.
//
// An expression built only from '+', '-', '*', '/', '^', unary minus,
// numbers, variables and the elementary functions is compiled into a short
// program over blocks of a few hundred elements. Evaluated block by block,
// the whole expression makes one pass over memory, its intermediate results
// staying in the cache, where the tree would make a pass per operator. Each
// element is computed by the very functions the tree uses (ScalarOps.h, the
// built-in handlers and their array kernels), in the same order, so the
// results are the same numbers.
//
// The program runs only when every operand is an integer or double value of
// the plain numeric kind and every non-scalar operand has one shape with at
// least kFusedMinimum elements; anything else (a shape mismatch, a string, a
// short vector) is left to the tree, which keeps every message and rule.
#pragma once

#include "builtins/Registry.h"
#include "core/MathMatrix.h"
#include "core/VectorMath.h"
#include "exec/Evaluatable.h"

#include <memory>
#include <vector>

namespace vemlor {

struct ExpressionEntry;

class VectorCode {
  public:
    // Below this many elements the tree is as fast and the program is not run.
    static constexpr int kFusedMinimum = 256;

    // Null when the entries hold anything the program cannot compute.
    static std::unique_ptr<VectorCode> compile(const std::vector<ExpressionEntry>& entries);

    // Evaluates into out and answers true, or answers false with out
    // untouched when the operands do not qualify now.
    bool run(DoubleValue& out);

    // Built by compile only; public for std::make_unique.
    VectorCode() = default;

    enum class Step : unsigned char { Binary, Negate, Function };
    struct Instruction {
        Step step;
        int code = 0; // operator code of a Binary step
        int target = 0, left = 0, right = 0;
        handler::DoubleToDouble function = nullptr;
        VectorFunction vectorForm = VectorFunction::None;
        // Whether an input holds one value spread out (set before each run).
        bool leftUniform = false, rightUniform = false;
    };

  private:
    friend class VectorCompiler;

    // An operand's block this pass: the element data of a double vector, or a
    // block this program fills (a scalar spread out, integers converted).
    struct Operand {
        const Value* value = nullptr;
        std::vector<double> block;
    };

    bool qualifies(const DoubleValue& out, int& count, int& rows) const;
    void markUniform();
    void runBlock(int begin, int length, double* out);
    void binary(const Instruction& step, const double* a, const double* b, double* z,
                int length) const;
    const double* source(int reference) const;

    std::vector<Operand> operands_;
    std::vector<Instruction> program_;
    int registerCount_ = 0;
    std::vector<double> registers_; // registerCount_ blocks
    std::vector<const double*> sources_;
    std::vector<char> registerUniform_; // scratch of markUniform
};

} // namespace vemlor
