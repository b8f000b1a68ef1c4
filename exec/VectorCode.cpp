// Compiling elementwise expressions into block programs, and running them.
//
// References name where a step reads or writes: 0 .. operands-1 are the
// operands, the next registerCount_ are register blocks, and kOutput is the
// block of the result itself (the last step writes there directly).
#include "exec/VectorCode.h"

#include "core/Interrupt.h"
#include "core/OperatorCodes.h"
#include "core/ScalarOps.h"
#include "exec/ConstantElements.h"
#include "exec/Expression.h"
#include "exec/FuncElementClasses.h"
#include "exec/UnaryElements.h"
#include "exec/ValueElement.h"

#include <algorithm>
#include <typeinfo>

namespace vemlor {

namespace {

constexpr int kBlock = 512;
constexpr int kOutput = -1;
constexpr int kNotCompiled = -2;

bool elementwiseOperator(int code) {
    return code == OP_PLUS || code == OP_MINUS || code == OP_TIMES || code == OP_DIVIDE ||
           code == OP_POWER;
}

// A value the program reads as it stands: a variable, or a number.
const Value* operandValue(Evaluatable& e) {
    if (typeid(e) == typeid(ValueElement)) return static_cast<ValueElement&>(e).variable();
    if (e.category() == CAT_NUMBER) return &static_cast<NumberElementBase&>(e).value();
    return nullptr;
}

template <class Op> void combine(const double* a, const double* b, double* z, int n, Op op) {
    for (int i = 0; i < n; ++i)
        z[i] = op(a[i], b[i]);
}

// A power to one exponent takes the way the tree takes for a scalar
// exponent (ScalarOps.h and the array kernel of pow).
void powerOf(const double* a, double exponent, double* z, int n) {
    if (exponent == 2.0 || exponent == 0.5 || !applyVectorPower(a, exponent, z, n))
        for (int i = 0; i < n; ++i)
            z[i] = ops::Power<double>{}(a[i], exponent);
}

} // namespace

// Turns expression entries into steps, climbing the precedence levels as the
// tree evaluates them: left to right within a level.
class VectorCompiler {
  public:
    explicit VectorCompiler(VectorCode& code) : code_(code) {}

    int expression(const std::vector<ExpressionEntry>& entries) {
        for (const ExpressionEntry& e : entries)
            if (e.op != OP_END && !elementwiseOperator(e.op)) return kNotCompiled;
        size_t next = 0;
        return group(entries, next, precedenceLevel(OP_END));
    }

  private:
    // The operands joined by operators of a level below `level`, from
    // entries[next] on; next ends past the last operand taken.
    int group(const std::vector<ExpressionEntry>& entries, size_t& next, int level) {
        int left = element(*entries[next].operand);
        int code = entries[next++].op;
        while (left != kNotCompiled && precedenceLevel(code) < level) {
            int right = group(entries, next, precedenceLevel(code));
            if (right == kNotCompiled) return kNotCompiled;
            left = emit({VectorCode::Step::Binary, code, 0, left, right});
            code = entries[next - 1].op;
        }
        return left;
    }

    int element(Evaluatable& e) {
        if (const Value* v = operandValue(e)) return operand(*v);
        if (e.resultType() != DOUBLE_VAL) return kNotCompiled; // integer arithmetic checks overflow
        if (auto* x = dynamic_cast<Expression*>(&e)) return expression(x->entries());
        if (auto* f = dynamic_cast<SimpleFuncElement*>(&e)) {
            Evaluatable& argument = *f->child();
            bool plainInteger = argument.resultType() == INTEGER_VAL && operandValue(argument);
            if (argument.resultType() != DOUBLE_VAL && !plainInteger) return kNotCompiled;
            int from = element(argument);
            if (from == kNotCompiled) return kNotCompiled;
            VectorCode::Instruction step{VectorCode::Step::Function, 0, 0, from, 0};
            step.function = f->function();
            step.vectorForm = f->vectorForm();
            return emit(step);
        }
        if (auto* u = dynamic_cast<UnaryOpElement*>(&e); u && u->op() == '-') {
            int from = element(*u->child());
            return from == kNotCompiled ? kNotCompiled
                                        : emit({VectorCode::Step::Negate, 0, 0, from, 0});
        }
        return kNotCompiled;
    }

    int operand(const Value& v) {
        code_.operands_.push_back({&v, {}});
        return int(code_.operands_.size()) - 1;
    }

    // Appends a step whose result goes to a fresh register; the registers it
    // reads are free again once it has read them.
    int emit(VectorCode::Instruction step) {
        release(step.left);
        if (step.step == VectorCode::Step::Binary) release(step.right);
        int reg;
        if (free_.empty()) {
            reg = code_.registerCount_++;
        } else {
            reg = free_.back();
            free_.pop_back();
        }
        step.target = registerReference(reg);
        code_.program_.push_back(step);
        return step.target;
    }

    int registerReference(int reg) const { return kRegisterBase + reg; }
    void release(int reference) {
        if (reference >= kRegisterBase) free_.push_back(reference - kRegisterBase);
    }

    // Registers are numbered apart from operands while compiling, since the
    // operand count is only known at the end.
    static constexpr int kRegisterBase = 1 << 20;

    VectorCode& code_;
    std::vector<int> free_;
};

std::unique_ptr<VectorCode> VectorCode::compile(const std::vector<ExpressionEntry>& entries) {
    auto code = std::make_unique<VectorCode>();
    VectorCompiler compiler(*code);
    int result = compiler.expression(entries);
    if (result == kNotCompiled || code->program_.empty()) return nullptr;
    // Register references become operands-based, and the last step writes
    // the result block itself.
    int operands = int(code->operands_.size());
    auto renumber = [operands](int& reference) {
        if (reference >= (1 << 20)) reference = operands + (reference - (1 << 20));
    };
    for (Instruction& step : code->program_) {
        renumber(step.target);
        renumber(step.left);
        renumber(step.right);
    }
    code->program_.back().target = kOutput;
    code->sources_.resize(code->operands_.size());
    return code;
}

// The common shape of the non-scalar operands, when every operand qualifies.
bool VectorCode::qualifies(const DoubleValue& out, int& count, int& rows) const {
    count = 0;
    for (const Operand& o : operands_) {
        const Value& v = *o.value;
        if ((v.type() != DOUBLE_VAL && v.type() != INTEGER_VAL) || v.kind != KIND_NUMERIC ||
            &v == &out || v.n == 0)
            return false;
        if (v.n == 1) continue;
        if (count == 0) {
            count = v.n;
            rows = v.nrow;
        } else if (v.n != count || v.nrow != rows) {
            return false;
        }
    }
    return count >= kFusedMinimum;
}

bool VectorCode::run(DoubleValue& out) {
    int count = 0, rows = 0;
    if (!qualifies(out, count, rows)) return false;
    for (Operand& o : operands_) {
        if (o.value->n != 1 && o.value->type() == DOUBLE_VAL) continue;
        o.block.resize(kBlock);
        if (o.value->n == 1) std::fill(o.block.begin(), o.block.end(), o.value->scalarDouble());
    }
    // Most expressions never see a long vector: their blocks are made on
    // the first run that needs them.
    registers_.resize(size_t(registerCount_) * kBlock);
    markUniform();
    out.setShapeKind(count, rows, KIND_NUMERIC);
    double* result = out.data();
    for (int begin = 0; begin < count; begin += kBlock) {
        if (begin % kInterruptBlock == 0) throwIfInterrupted();
        runBlock(begin, std::min(kBlock, count - begin), result + begin);
    }
    return true;
}

const double* VectorCode::source(int reference) const {
    int operands = int(operands_.size());
    if (reference < operands) return sources_[size_t(reference)];
    return registers_.data() + size_t(reference - operands) * kBlock;
}

void VectorCode::binary(const Instruction& step, const double* a, const double* b, double* z,
                        int length) const {
    switch (step.code) {
    case OP_PLUS:
        combine(a, b, z, length, ops::Plus<double>{});
        break;
    case OP_MINUS:
        combine(a, b, z, length, ops::Minus<double>{});
        break;
    case OP_TIMES:
        combine(a, b, z, length, ops::Times<double>{});
        break;
    case OP_DIVIDE:
        combine(a, b, z, length, ops::Divide<double>{});
        break;
    default:
        if (step.rightUniform && !step.leftUniform)
            powerOf(a, b[0], z, length);
        else
            combine(a, b, z, length, ops::Power<double>{});
        break;
    }
}

// Which steps read one value spread over the block: the scalars and what
// steps make of scalars alone. The tree computes those with the scalar
// functions, so the program must too. Registers are reused, so what a
// register holds is judged step by step, in program order.
void VectorCode::markUniform() {
    size_t operands = operands_.size();
    std::vector<char>& holds = registerUniform_;
    holds.assign(operands + size_t(registerCount_), 0);
    for (size_t k = 0; k < operands; ++k)
        holds[k] = operands_[k].value->n == 1;
    for (Instruction& step : program_) {
        step.leftUniform = holds[size_t(step.left)];
        step.rightUniform = step.step == Step::Binary && holds[size_t(step.right)];
        bool uniform = step.leftUniform && (step.step != Step::Binary || step.rightUniform);
        if (step.target != kOutput) holds[size_t(step.target)] = uniform;
    }
}

void VectorCode::runBlock(int begin, int length, double* out) {
    for (size_t k = 0; k < operands_.size(); ++k) {
        Operand& o = operands_[k];
        const Value& v = *o.value;
        if (v.n == 1) {
            sources_[k] = o.block.data();
        } else if (v.type() == DOUBLE_VAL) {
            sources_[k] = static_cast<const DoubleValue&>(v).data() + begin;
        } else {
            const int* ints = static_cast<const IntValue&>(v).data() + begin;
            std::copy(ints, ints + length, o.block.begin());
            sources_[k] = o.block.data();
        }
    }
    for (const Instruction& step : program_) {
        double* z = step.target == kOutput ? out : const_cast<double*>(source(step.target));
        const double* a = source(step.left);
        switch (step.step) {
        case Step::Negate:
            for (int i = 0; i < length; ++i)
                z[i] = -a[i];
            break;
        case Step::Function:
            if (step.leftUniform || step.vectorForm == VectorFunction::None ||
                !applyVector(step.vectorForm, a, z, length))
                for (int i = 0; i < length; ++i)
                    z[i] = step.function(a[i]);
            break;
        case Step::Binary:
            binary(step, a, source(step.right), z, length);
            break;
        }
    }
}

} // namespace vemlor
