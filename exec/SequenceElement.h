// SequenceElement: start:stop or start:step:stop. Indexed reads look at the
// parts directly so that x[a:b] never builds the index list.
#pragma once

#include "exec/Evaluatable.h"

namespace vemlor {

struct SequenceParts;
class SequenceElement;
SequenceParts evaluateSequenceParts(const SequenceElement& sequence);

class SequenceElement : public With3Evaluatable {
  public:
    // `type` is INTEGER_VAL when every part delivers integers, else DOUBLE_VAL.
    SequenceElement(EvaluatablePtr start, EvaluatablePtr stop, EvaluatablePtr step, int type);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return type_; }
    int category() const override { return CAT_SEQUENCE; }

    Evaluatable* start() const { return a_.get(); }
    Evaluatable* stop() const { return b_.get(); }
    Evaluatable* step() const { return c_.get(); } // null: step 1
    // Turns a:b into a:b:c (b becomes the step).
    void addStop(EvaluatablePtr stop, int type);
    // The builder wraps a unary operator written after the stop around the
    // stop alone (a:-b): it takes the stop out and puts the wrapped one back.
    EvaluatablePtr releaseStop();
    void replaceStop(EvaluatablePtr stop, int type);

  private:
    friend SequenceParts evaluateSequenceParts(const SequenceElement& sequence);
    void makeScratch();

    int type_;
    // One scratch value per part, of the part's type; each is read as soon
    // as its part has been evaluated.
    ValuePtr startScratch_, stopScratch_, stepScratch_;
};

// The count and the start/step of a sequence whose parts have been evaluated
// ("sequence must have scalar start, step, stop" otherwise); count < 1 is empty.
struct SequenceParts {
    double start = 0, step = 1, stop = 0;
    long count = 0;
};
SequenceParts evaluateSequenceParts(const SequenceElement& sequence);

// A part of an integer sequence as the sequence's elements use it
// (INT_MIN outside the integer range).
int integerPart(double x);

} // namespace vemlor
