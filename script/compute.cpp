#include "script/compute.h"

#include <cmath>

#include "script/block.h"

namespace {

ComputeScope ScopeOf(uint32_t level, uint32_t blockLevel) {
    return level == blockLevel ? ComputeScope::Own : level == 0 ? ComputeScope::Root : ComputeScope::Outer;
}

// What a run's code has left on the stack so far, as the planner sees it.
struct Entry {
    enum Kind : uint8_t {
        Reg,       // a real in a register
        Truth,     // a comparison's truth (1 or 0) in a register
        Variable,  // a pushed variable, not yet read
        Stack,     // a value that was on the stack before the run, `index` deep (1: the top)
        Constant,  // the constant of instruction `index`
        Element,   // element r[reg] of the array in variable (level, index), not yet read
        Writable,  // the variable (level, index) pushed for an element store
        Slot,      // element r[reg] of that variable, to be stored into
    } kind;
    uint8_t reg = 0;
    uint32_t level = 0;
    uint32_t index = 0;
};

class Planner {
public:
    Planner(const std::vector<Instruction>& code, uint32_t start, uint32_t level)
        : code_(code), start_(start), level_(level) {}

    // Plans the longest run from `start`; false when none worth having starts there.
    bool Plan(Computation& plan);

private:
    bool Pop(Entry& entry) {
        if (!entries_.empty()) {
            entry = entries_.back();
            entries_.pop_back();
            return true;
        }
        if (popped_ >= 64) return false;
        entry = Entry{Entry::Stack, 0, 0, ++popped_};
        return true;
    }
    // Constants are in their registers before the first step.
    void SetConstant(uint8_t reg, double real) {
        if (plan_->constants.size() <= reg) plan_->constants.resize(reg + 1u, 0.0);
        plan_->constants[reg] = real;
        constantRegisters_ |= uint32_t{1} << reg;
    }
    bool NewRegister(uint8_t& reg) {
        if (registers_ >= kComputeRegisters) return false;
        reg = static_cast<uint8_t>(registers_++);
        return true;
    }
    ComputeStep& AddStep(ComputeOp op) {
        return plan_->steps.emplace_back(
            ComputeStep{op, ComputeScope::Own, Opcode::Pop, 0, 0, 0, 0, 0, 0, 0, nullptr});
    }
    // The entry as a real in a register (read now if it is not one yet); false if it cannot be.
    bool AsReal(const Entry& entry, uint8_t& reg);
    // The entry as a truth in a register: reals and truths test against zero, elements of any kind
    // have their own truth.
    bool AsTruth(const Entry& entry, uint8_t& reg);
    bool Binary(ComputeOp op);
    bool Unary(ComputeOp op, RealFunction function = nullptr);
    // Whether what is planned so far can end here, leaving its entries on the stack.
    bool Finish(uint32_t length);
    void ChainSteps();
    // Numbers the registers again so that the constants come first, in as few as there are.
    void ConstantsFirst();

    // A variable already read into a register; nothing a computation does before its ending changes
    // a variable but a body's entry, which forgets them all.
    struct Read {
        uint32_t level;
        uint32_t index;
        uint8_t reg;
    };

    const std::vector<Instruction>& code_;
    uint32_t start_;
    uint32_t level_;
    Computation* plan_ = nullptr;
    std::vector<Entry> entries_;
    uint32_t popped_ = 0;
    uint32_t registers_ = 0;
    uint32_t constantRegisters_ = 0;  // one bit per register holding a constant
    std::vector<Read> reads_;
    uint32_t work_ = 0;  // operators and jumps planned: a run without any is not worth a plan
};

bool Planner::AsReal(const Entry& entry, uint8_t& reg) {
    switch (entry.kind) {
        case Entry::Reg:
            reg = entry.reg;
            return true;
        case Entry::Variable:
        case Entry::Stack:
        case Entry::Element: {
            if (entry.kind == Entry::Variable) {
                for (const Read& read : reads_) {
                    if (read.level == entry.level && read.index == entry.index) {
                        reg = read.reg;
                        return true;
                    }
                }
            }
            if (!NewRegister(reg)) return false;
            if (entry.kind == Entry::Variable) reads_.push_back(Read{entry.level, entry.index, reg});
            ComputeStep& step = AddStep(entry.kind == Entry::Variable ? ComputeOp::Variable
                                        : entry.kind == Entry::Stack  ? ComputeOp::Stack
                                                                      : ComputeOp::Element);
            step.scope = ScopeOf(entry.level, level_);
            step.dst = reg;
            step.x = entry.reg;
            step.level = entry.level;
            step.index = entry.index;
            return true;
        }
        case Entry::Constant: {
            double real;
            if (!code_[entry.index].value.ReadReal(real) || !NewRegister(reg)) return false;
            SetConstant(reg, real);
            return true;
        }
        default:
            return false;
    }
}

bool Planner::AsTruth(const Entry& entry, uint8_t& reg) {
    if (entry.kind == Entry::Truth) {
        reg = entry.reg;
        return true;
    }
    if (entry.kind == Entry::Element) {
        if (!NewRegister(reg)) return false;
        ComputeStep& step = AddStep(ComputeOp::ElementTruth);
        step.scope = ScopeOf(entry.level, level_);
        step.dst = reg;
        step.x = entry.reg;
        step.level = entry.level;
        step.index = entry.index;
        return true;
    }
    return AsReal(entry, reg);
}

bool Planner::Binary(ComputeOp op) {
    Entry second;
    Entry first;
    uint8_t y;
    uint8_t x;
    uint8_t result;
    // The second operand is read first, as the instructions would have it on top.
    if (!Pop(second) || !Pop(first)) return false;
    if (first.kind == Entry::Truth || second.kind == Entry::Truth) return false;
    if (!AsReal(first, x) || !AsReal(second, y) || !NewRegister(result)) return false;
    ComputeStep& step = AddStep(op);
    step.dst = result;
    step.x = x;
    step.y = y;
    entries_.push_back(Entry{Entry::Reg, result});
    ++work_;
    return true;
}

bool Planner::Unary(ComputeOp op, RealFunction function) {
    Entry operand;
    uint8_t x;
    uint8_t result;
    if (!Pop(operand) || operand.kind == Entry::Truth || !AsReal(operand, x) || !NewRegister(result)) {
        return false;
    }
    ComputeStep& step = AddStep(op);
    step.dst = result;
    step.x = x;
    step.function = function;
    entries_.push_back(Entry{Entry::Reg, result});
    ++work_;
    return true;
}

bool Planner::Finish(uint32_t length) {
    if (length < 2 || work_ == 0 || entries_.size() > kComputeOutputs) return false;
    for (const Entry& entry : entries_) {
        ComputeOutput output{ComputeOutput::Real, 0, 0, 0};
        switch (entry.kind) {
            case Entry::Reg:
                output.reg = entry.reg;
                break;
            case Entry::Truth:
                output.kind = ComputeOutput::Truth;
                output.reg = entry.reg;
                break;
            case Entry::Variable:
                output = ComputeOutput{ComputeOutput::Variable, 0, entry.level, entry.index};
                break;
            case Entry::Stack:
                output = ComputeOutput{ComputeOutput::Stack, 0, 0, entry.index};
                break;
            case Entry::Constant:
                output = ComputeOutput{ComputeOutput::Constant, 0, 0, entry.index};
                break;
            case Entry::Element:
                if (!AsReal(entry, output.reg)) return false;
                break;
            default:
                return false;
        }
        plan_->outputs.push_back(output);
    }
    // Computations pay where they take the place of element reads and writes or of several operators;
    // a single operator is as quick as a pair (see PlanPair).
    bool elements = plan_->end == ComputeEnd::StoreElement;
    uint32_t operators = 0;
    for (const ComputeStep& step : plan_->steps) {
        if (step.op == ComputeOp::Element || step.op == ComputeOp::ElementTruth) elements = true;
        if (step.op >= ComputeOp::Add && step.op <= ComputeOp::Negative) ++operators;
        if (step.op == ComputeOp::Function) operators += 3;  // a builtin call saved is worth it alone
    }
    if (!elements && operators < 3) return false;
    // A run cut short by a call leaves its values for the instructions; they push them as quickly.
    if (plan_->end == ComputeEnd::None) return false;
    // Values that end where they started (the counters of a loop head) are left alone.
    size_t kept = 0;
    while (kept < plan_->outputs.size() && kept < popped_ &&
           plan_->outputs[kept].kind == ComputeOutput::Stack &&
           plan_->outputs[kept].index == popped_ - kept) {
        ++kept;
    }
    plan_->outputs.erase(plan_->outputs.begin(), plan_->outputs.begin() + static_cast<std::ptrdiff_t>(kept));
    plan_->popped = popped_ - static_cast<uint32_t>(kept);
    plan_->reach = popped_;
    for (const ComputeOutput& output : plan_->outputs) {
        if (output.kind == ComputeOutput::Stack) plan_->outputsReadStack = true;
    }
    plan_->length = length;
    ConstantsFirst();
    // A plan that leaves the stack as it found it ends in a step of its own ending.
    ComputeOp last = ComputeOp::Done;
    if (plan_->outputs.empty() && plan_->popped == 0) {
        switch (plan_->end) {
            case ComputeEnd::Assign:
                last = ComputeOp::EndAssign;
                break;
            case ComputeEnd::StoreElement:
                last = plan_->valueIsTruth ? ComputeOp::EndStoreTruth : ComputeOp::EndStoreReal;
                break;
            case ComputeEnd::JumpIfFalse:
                last = ComputeOp::EndJumpIfFalse;
                break;
            case ComputeEnd::JumpIfTrue:
                last = ComputeOp::EndJumpIfTrue;
                break;
            case ComputeEnd::None:
                break;
        }
    }
    AddStep(last);
    ChainSteps();
    return true;
}

// Marks the steps that take an operand straight from the step before them (see ComputeForm).
void Planner::ChainSteps() {
    bool produced = false;  // whether a step so far gave a register its value
    uint8_t last = 0;
    for (ComputeStep& step : plan_->steps) {
        const ComputeOp op = step.op;
        const bool binary = op >= ComputeOp::Add && op <= ComputeOp::Compare;
        const bool unary = (op >= ComputeOp::Successor && op <= ComputeOp::Holds) ||
                           op == ComputeOp::Function || op == ComputeOp::Element ||
                           op == ComputeOp::ElementTruth;
        const bool ending = op >= ComputeOp::EndAssign && op <= ComputeOp::EndJumpIfTrue;
        uint8_t form = kFromRegisters;
        if (produced && (binary || unary) && step.x == last) {
            form = kXFromLast;
        } else if (produced && binary && step.y == last) {
            form = kYFromLast;
        } else if (produced && ending && plan_->value == last) {
            form = kXFromLast;
        }
        if (op == ComputeOp::Variable && step.scope == ComputeScope::Own) form = kOwnVariable;
        step.run = static_cast<uint8_t>(static_cast<uint32_t>(op) * kComputeForms + form);
        if (op == ComputeOp::Remainder && form != kYFromLast && step.y < plan_->constants.size()) {
            const double divisor = plan_->constants[step.y];
            if (std::fabs(divisor) < 2147483648.0 && divisor == std::trunc(divisor) && divisor != 0 &&
                divisor != -1) {
                step.index = static_cast<uint32_t>(static_cast<int32_t>(divisor));
                step.run = form == kXFromLast ? kRemainderByWholeFromLast : kRemainderByWhole;
            }
        }
        if (op == ComputeOp::Enter || ending || op == ComputeOp::Done) continue;
        produced = true;
        last = step.dst;
    }
}

void Planner::ConstantsFirst() {
    uint8_t map[kComputeRegisters];
    uint8_t next = 0;
    std::vector<double> constants;
    for (uint32_t reg = 0; reg < kComputeRegisters; ++reg) {
        if ((constantRegisters_ >> reg & 1) != 0) {
            constants.push_back(plan_->constants[reg]);
            map[reg] = next++;
        }
    }
    for (uint32_t reg = 0; reg < kComputeRegisters; ++reg) {
        if ((constantRegisters_ >> reg & 1) == 0) map[reg] = next++;
    }
    for (ComputeStep& step : plan_->steps) {
        step.dst = map[step.dst];
        step.x = map[step.x];
        step.y = map[step.y];
    }
    for (ComputeOutput& output : plan_->outputs)
        output.reg = map[output.reg];
    plan_->value = map[plan_->value];
    plan_->position = map[plan_->position];
    plan_->constants = std::move(constants);
    for (uint32_t i = 0; i < kLeadingConstants && i < plan_->constants.size(); ++i)
        plan_->leadingConstants[i] = plan_->constants[i];
}

bool Planner::Plan(Computation& plan) {
    plan_ = &plan;
    const uint32_t size = static_cast<uint32_t>(code_.size());
    for (uint32_t k = start_; k < size; ++k) {
        const Instruction& in = code_[k];
        const uint32_t length = k - start_;
        // A state that cannot go on ends the run before this instruction, if it can end there.
        const Computation savedPlan = plan;
        const std::vector<Entry> savedEntries = entries_;
        const uint32_t savedPopped = popped_;
        const uint32_t savedRegisters = registers_;
        const uint32_t savedConstants = constantRegisters_;
        const std::vector<Read> savedReads = reads_;
        const uint32_t savedWork = work_;
        auto stop = [&]() {
            plan = savedPlan;
            entries_ = savedEntries;
            popped_ = savedPopped;
            registers_ = savedRegisters;
            constantRegisters_ = savedConstants;
            reads_ = savedReads;
            work_ = savedWork;
            return Finish(length);
        };
        switch (in.opcode) {
            case Opcode::PushValue:
                entries_.push_back(Entry{Entry::Constant, 0, 0, k});
                continue;
            case Opcode::PushVariable:
                entries_.push_back(Entry{Entry::Variable, 0, in.a, in.b});
                continue;
            case Opcode::PushVariableWritable:
                if (k != start_) return stop();
                entries_.push_back(Entry{Entry::Writable, 0, in.a, in.b});
                continue;
            case Opcode::Duplicate:
            case Opcode::DuplicatePair:
            case Opcode::Swap: {
                Entry top;
                Entry below;
                bool ok = Pop(top) && (in.opcode == Opcode::Duplicate || Pop(below));
                ok = ok && top.kind != Entry::Writable && top.kind != Entry::Slot &&
                     (in.opcode == Opcode::Duplicate ||
                      (below.kind != Entry::Writable && below.kind != Entry::Slot));
                if (!ok) return stop();
                if (in.opcode == Opcode::Duplicate) {
                    entries_.insert(entries_.end(), {top, top});
                } else if (in.opcode == Opcode::DuplicatePair) {
                    entries_.insert(entries_.end(), {below, top, below, top});
                } else {
                    entries_.insert(entries_.end(), {top, below});
                }
                continue;
            }
            case Opcode::CallAndPushResult: {
                bool ok;
                switch (in.a) {
                    case kFastAdd:
                        ok = Binary(ComputeOp::Add);
                        break;
                    case kFastSubtract:
                        ok = Binary(ComputeOp::Subtract);
                        break;
                    case kFastMultiply:
                        ok = Binary(ComputeOp::Multiply);
                        break;
                    case kFastDivide:
                        ok = Binary(ComputeOp::Divide);
                        break;
                    case kFastRemainder:
                        ok = Binary(ComputeOp::Remainder);
                        break;
                    case kFastCompare:
                        ok = Binary(ComputeOp::Compare);
                        break;
                    case kFastSuccessor:
                        ok = Unary(ComputeOp::Successor);
                        break;
                    case kFastPredecessor:
                        ok = Unary(ComputeOp::Predecessor);
                        break;
                    case kFastNegative:
                        ok = Unary(ComputeOp::Negative);
                        break;
                    case kFastTrue:
                    case kFastFalse: {
                        uint8_t reg;
                        ok = NewRegister(reg);
                        if (ok) {
                            SetConstant(reg, in.a == kFastTrue ? 1 : 0);
                            entries_.push_back(Entry{Entry::Truth, reg});
                        }
                        break;
                    }
                    case kFastIndex:
                    case kFastIndexWritable: {
                        Entry position;
                        Entry array;
                        uint8_t reg;
                        ok = Pop(position) && Pop(array) && position.kind != Entry::Truth &&
                             array.kind == (in.a == kFastIndex ? Entry::Variable : Entry::Writable) &&
                             AsReal(position, reg);
                        if (ok) {
                            entries_.push_back(Entry{in.a == kFastIndex ? Entry::Element : Entry::Slot, reg,
                                                     array.level, array.index});
                            ++work_;
                        }
                        break;
                    }
                    default:
                        // A builtin that is a pure function of one real, called with one.
                        ok = in.a == kPlainCall && in.b == 1 && in.block->realFunction != nullptr &&
                             Unary(ComputeOp::Function, in.block->realFunction);
                        break;
                }
                if (!ok) return stop();
                continue;
            }
            case Opcode::CompareEqual:
            case Opcode::CompareGreater:
            case Opcode::CompareGreaterEqual:
            case Opcode::CompareLess:
            case Opcode::CompareLessEqual:
            case Opcode::CompareNotEqual: {
                Entry order;
                uint8_t x;
                uint8_t result;
                if (!Pop(order) || order.kind == Entry::Truth || !AsReal(order, x) || !NewRegister(result)) {
                    return stop();
                }
                ComputeStep& step = AddStep(ComputeOp::Holds);
                step.comparison = in.opcode;
                step.dst = result;
                step.x = x;
                entries_.push_back(Entry{Entry::Truth, result});
                ++work_;
                continue;
            }
            case Opcode::EnterBody: {
                // Variables pushed before the entry must be read before it voids anything.
                for (const Entry& entry : entries_) {
                    if (entry.kind == Entry::Variable || entry.kind == Entry::Element ||
                        entry.kind == Entry::Writable || entry.kind == Entry::Slot) {
                        return stop();
                    }
                }
                reads_.clear();
                ComputeStep& step = AddStep(ComputeOp::Enter);
                step.index = in.a;
                step.level = in.b;
                step.bodies = in.c;
                continue;
            }
            case Opcode::Assign: {
                Entry source;
                uint8_t reg;
                if (!Pop(source) || source.kind == Entry::Truth || !AsReal(source, reg)) return stop();
                plan.end = ComputeEnd::Assign;
                plan.value = reg;
                plan.scope = ScopeOf(in.a, level_);
                plan.level = in.a;
                plan.index = in.b;
                ++work_;
                return Finish(length + 1);
            }
            case Opcode::AssignThrough: {
                Entry source;
                Entry slot;
                uint8_t reg;
                if (!Pop(source) || !Pop(slot) || slot.kind != Entry::Slot) return stop();
                const bool truth = source.kind == Entry::Truth;
                if (!(truth ? AsTruth(source, reg) : AsReal(source, reg))) return stop();
                plan.end = ComputeEnd::StoreElement;
                plan.valueIsTruth = truth;
                plan.value = reg;
                plan.position = slot.reg;
                plan.scope = ScopeOf(slot.level, level_);
                plan.level = slot.level;
                plan.index = slot.index;
                ++work_;
                return Finish(length + 1);
            }
            case Opcode::CaseJumpIfFalse:
            case Opcode::CaseJumpIfTrue:
            case Opcode::LoopIf:
            case Opcode::LoopWhileGreater:
            case Opcode::LoopWhileLess: {
                Entry condition;
                uint8_t reg;
                if (!Pop(condition)) return stop();
                if (in.opcode == Opcode::LoopWhileGreater || in.opcode == Opcode::LoopWhileLess) {
                    uint8_t order;
                    if (condition.kind == Entry::Truth || !AsReal(condition, order) || !NewRegister(reg)) {
                        return stop();
                    }
                    ComputeStep& step = AddStep(ComputeOp::Holds);
                    step.comparison =
                        in.opcode == Opcode::LoopWhileGreater ? Opcode::CompareGreater : Opcode::CompareLess;
                    step.dst = reg;
                    step.x = order;
                } else if (!AsTruth(condition, reg)) {
                    return stop();
                }
                plan.end =
                    in.opcode == Opcode::CaseJumpIfTrue ? ComputeEnd::JumpIfTrue : ComputeEnd::JumpIfFalse;
                plan.value = reg;
                plan.target = in.a;
                ++work_;
                return Finish(length + 1);
            }
            default:
                return stop();
        }
    }
    return Finish(size - start_);
}

bool CanStart(Opcode opcode) {
    switch (opcode) {
        case Opcode::PushValue:
        case Opcode::PushVariable:
        case Opcode::PushVariableWritable:
        case Opcode::Duplicate:
        case Opcode::DuplicatePair:
        case Opcode::CallAndPushResult:
            return true;
        default:
            return false;
    }
}

bool PairOperandOf(const Instruction& in, uint32_t level, PairOperand& operand) {
    if (in.opcode == Opcode::PushVariable) {
        operand = PairOperand{true, ScopeOf(in.a, level), in.a, in.b, 0};
        return true;
    }
    double real;
    if (in.opcode != Opcode::PushValue || !in.value.ReadReal(real)) return false;
    operand = PairOperand{
        false, ComputeScope::Own, 0, 0, real, Value::Holds(real) ? Value::HeldReal(real).Bits() : 0};
    return true;
}

bool PlanPair(const std::vector<Instruction>& code, uint32_t start, uint32_t level, PairPlan& pair) {
    const uint32_t size = static_cast<uint32_t>(code.size());
    if (!PairOperandOf(code[start], level, pair.x)) return false;
    uint32_t k = start + 1;
    if (k < size && PairOperandOf(code[k], level, pair.y)) {
        ++k;
        if (k >= size || code[k].opcode != Opcode::CallAndPushResult || code[k].a < kFastAdd ||
            code[k].a > kFastCompare) {
            return false;
        }
        pair.binary = true;
    } else if (k >= size || code[k].opcode != Opcode::CallAndPushResult || code[k].a < kFastSuccessor ||
               code[k].a > kFastNegative) {
        return false;
    } else {
        pair.binary = false;
    }
    pair.call = code[k].a;
    ++k;
    pair.hasComparison = false;
    pair.end = PairEnd::Push;
    if (pair.call == kFastCompare && k < size && code[k].opcode >= Opcode::CompareEqual &&
        code[k].opcode <= Opcode::CompareNotEqual) {
        pair.hasComparison = true;
        pair.comparison = code[k].opcode;
        ++k;
        if (k < size) {
            const Opcode jump = code[k].opcode;
            if (jump == Opcode::CaseJumpIfFalse || jump == Opcode::LoopIf || jump == Opcode::CaseJumpIfTrue) {
                pair.end = jump == Opcode::CaseJumpIfTrue ? PairEnd::JumpIfTrue : PairEnd::JumpIfFalse;
                pair.target = code[k].a;
                ++k;
            }
        }
    } else if (pair.call != kFastCompare && k < size && code[k].opcode == Opcode::Assign) {
        pair.end = PairEnd::Assign;
        pair.scope = ScopeOf(code[k].a, level);
        pair.level = code[k].a;
        pair.index = code[k].b;
        ++k;
    }
    pair.length = k - start;
    pair.holds = 0;
    for (uint32_t bit = 0; pair.hasComparison && bit < 3; ++bit) {
        if (ComparisonHolds(pair.comparison, static_cast<double>(bit) - 1))
            pair.holds |= static_cast<uint8_t>(1u << bit);
    }
    pair.jumpIfTrue = pair.end == PairEnd::JumpIfTrue ? 1 : 0;
    pair.entersBody =
        pair.end == PairEnd::JumpIfFalse && k < size && code[k].opcode == Opcode::EnterBody && code[k].b == 0;
    return true;
}

// The handler of a pair whose operands are the frame's own variables and held constants, or 0.
uint8_t OwnPairHandler(PairPlan& pair) {
    auto own = [](const PairOperand& operand) {
        return operand.isVariable ? operand.scope == ComputeScope::Own : operand.held != 0;
    };
    if (!pair.x.isVariable || !own(pair.x)) return 0;
    if (pair.end == PairEnd::JumpIfFalse || pair.end == PairEnd::JumpIfTrue)
        return pair.binary && own(pair.y) ? uint8_t{kPairJumpOwnHandler} : uint8_t{0};
    if (pair.end == PairEnd::Push) {
        if (!pair.binary || pair.hasComparison || !own(pair.y) || pair.call < kFastAdd ||
            pair.call > kFastRemainder)
            return 0;
        static_assert(kPairPushOwnRemainderHandler - kPairPushOwnAddHandler == kFastRemainder - kFastAdd);
        return static_cast<uint8_t>(kPairPushOwnAddHandler + (pair.call - kFastAdd));
    }
    if (pair.end != PairEnd::Assign || pair.scope != ComputeScope::Own) return 0;
    if (!pair.binary && (pair.call == kFastSuccessor || pair.call == kFastPredecessor)) {
        // x + 1 and x - 1 are what the successor and predecessor give.
        pair.y = PairOperand{false, ComputeScope::Own, 0, 0, 1, Value::HeldReal(1).Bits()};
        pair.binary = true;
        pair.call = pair.call == kFastSuccessor ? kFastAdd : kFastSubtract;
    }
    if (!pair.binary || !own(pair.y) || pair.call < kFastAdd || pair.call > kFastRemainder) return 0;
    static_assert(kPairAssignOwnRemainderHandler - kPairAssignOwnAddHandler == kFastRemainder - kFastAdd);
    return static_cast<uint8_t>(kPairAssignOwnAddHandler + (pair.call - kFastAdd));
}

// kStoreOwnHandler for a computation that is only the store of a constant into an array of the
// frame's own at a position one of its own variables holds, with what that handler needs; else 0.
uint8_t StoreOwnHandler(Computation& plan) {
    if (plan.steps.size() != 2 || plan.popped != 0 || plan.reach != 0 || !plan.outputs.empty() ||
        plan.end != ComputeEnd::StoreElement || plan.scope != ComputeScope::Own) {
        return 0;
    }
    const ComputeStep& position = plan.steps[0];
    const ComputeOp end = plan.steps[1].op;
    if (position.op != ComputeOp::Variable || position.scope != ComputeScope::Own ||
        plan.position != position.dst || plan.value >= plan.constants.size() ||
        (end != ComputeOp::EndStoreReal && end != ComputeOp::EndStoreTruth)) {
        return 0;
    }
    plan.positionIndex = position.index;
    plan.storedValue = plan.constants[plan.value];
    return kStoreOwnHandler;
}

// kElementJumpOwnHandler for a computation that is only a jump on the truth of an element of an
// array of the frame's own at a position one of its own variables holds, with what it needs; else 0.
uint8_t ElementJumpOwnHandler(Computation& plan) {
    if (plan.steps.size() != 3 || plan.popped != 0 || plan.reach != 0 || !plan.outputs.empty() ||
        (plan.end != ComputeEnd::JumpIfFalse && plan.end != ComputeEnd::JumpIfTrue)) {
        return 0;
    }
    const ComputeStep& position = plan.steps[0];
    const ComputeStep& element = plan.steps[1];
    if (position.op != ComputeOp::Variable || position.scope != ComputeScope::Own ||
        element.op != ComputeOp::ElementTruth || element.scope != ComputeScope::Own ||
        element.x != position.dst || plan.value != element.dst) {
        return 0;
    }
    plan.positionIndex = position.index;
    plan.arrayIndex = element.index;
    return kElementJumpOwnHandler;
}

uint8_t PairHandler(PairEnd end) {
    switch (end) {
        case PairEnd::JumpIfFalse:
        case PairEnd::JumpIfTrue:
            return kPairJumpHandler;
        case PairEnd::Assign:
            return kPairAssignHandler;
        case PairEnd::Push:
            break;
    }
    return kPairPushHandler;
}

// Marks the head of a counting loop at `k` (see CountingHead), and the successor before its jump back.
void MarkCountingHead(std::vector<Instruction>& code, uint32_t k, uint32_t level) {
    const uint32_t size = static_cast<uint32_t>(code.size());
    auto call = [&](uint32_t i, uint32_t fast) {
        return i < size && code[i].opcode == Opcode::CallAndPushResult && code[i].a == fast &&
               code[i].b == 1u + (fast == kFastCompare);
    };
    if (code[k].plan != 0 || !call(k + 1, kFastCompare) || k + 2 >= size) return;
    const Opcode exit = code[k + 2].opcode;
    const bool ascent = exit == Opcode::LoopWhileGreater;
    if (!ascent && (exit != Opcode::LoopWhileLess || !call(k + 3, kFastPredecessor))) return;
    const uint32_t copy = k + (ascent ? 3 : 4);
    if (copy >= size || code[copy].opcode != Opcode::Duplicate || code[copy].plan != 0) return;
    code[k].a = ascent ? kAscentHead : kDescentHead;
    code[k].b = 0;
    // A body in place: its entry, then the counter assigned to the body's first variable.
    if (copy + 2 < size && code[copy + 1].opcode == Opcode::EnterBody && code[copy + 1].plan == 0 &&
        code[copy + 2].opcode == Opcode::Assign && code[copy + 2].plan == 0 && code[copy + 2].a == level &&
        code[copy + 2].b >= code[copy + 1].a && code[copy + 2].b - code[copy + 1].a < code[copy + 1].b) {
        code[k].b = 1;
    }
    if (!ascent) return;
    // The successor of the counter just before the jump back to this head.
    for (uint32_t i = copy + 1; i + 1 < size; ++i) {
        if (code[i + 1].opcode == Opcode::LoopBack && code[i + 1].a == k) {
            if (call(i, kFastSuccessor) && code[i].plan == 0) code[i].a = kFastSuccessorToHead;
            return;
        }
    }
}

// The append of `list = list ~ [x]` at `start`, x a constant, a variable, true or false.
bool PlanAppend(const std::vector<Instruction>& code, uint32_t start, uint32_t level, AppendPlan& plan) {
    if (start + kAppendLength > code.size()) return false;
    const Instruction* in = code.data() + start;
    const ValueBody* literal = in[1].value.Body();
    if (in[0].opcode != Opcode::PushVariable || in[1].opcode != Opcode::PushValue || literal == nullptr ||
        literal->type->kind != TypeKind::Array || literal->elements.length != 0 ||
        in[3].opcode != Opcode::CallAndPushResult || in[3].a != kAppendsToAssignedVariable ||
        in[4].opcode != Opcode::CallAndPushResult || in[4].a != kGrowsAssignedVariable ||
        in[5].opcode != Opcode::Assign || in[5].a != in[0].a || in[5].b != in[0].b) {
        return false;
    }
    const Instruction& item = in[2];
    if (item.opcode == Opcode::PushValue) {
        plan.item = AppendPlan::Constant;
    } else if (item.opcode == Opcode::PushVariable) {
        plan.item = AppendPlan::Variable;
        plan.itemScope = ScopeOf(item.a, level);
        plan.itemLevel = item.a;
        plan.itemIndex = item.b;
    } else if (item.opcode == Opcode::CallAndPushResult && item.b == 0 &&
               (item.a == kFastTrue || item.a == kFastFalse)) {
        plan.item = item.a == kFastTrue ? AppendPlan::True : AppendPlan::False;
    } else {
        return false;
    }
    plan.scope = ScopeOf(in[0].a, level);
    plan.level = in[0].a;
    plan.index = in[0].b;
    return true;
}

}  // namespace

void PlanComputations(std::vector<Instruction>& code, uint32_t level, bool function,
                      std::vector<Computation>& plans, std::vector<PairPlan>& pairs,
                      std::vector<AppendPlan>& appends) {
    pairs.clear();
    appends.clear();
    plans.clear();
    for (Instruction& in : code)
        in.plan = 0;
    const uint32_t size = static_cast<uint32_t>(code.size());
    for (uint32_t i = 0; i < size; ++i) {
        if (!CanStart(code[i].opcode)) continue;
        Computation plan;
        if (!Planner(code, i, level).Plan(plan)) continue;
        plans.push_back(std::move(plan));
        code[i].plan = static_cast<uint32_t>(plans.size());
    }
    for (uint32_t i = 0; i < size; ++i) {
        PairPlan pair{};
        if (code[i].plan != 0 || !PlanPair(code, i, level, pair)) continue;
        code[i].plan = kPairPlan | static_cast<uint32_t>(pairs.size());
        pairs.push_back(pair);
    }
    for (uint32_t i = 0; i < size; ++i) {
        AppendPlan append;
        if (code[i].plan != 0 || !PlanAppend(code, i, level, append)) continue;
        code[i].plan = kAppendPlan | static_cast<uint32_t>(appends.size());
        appends.push_back(append);
    }
    // Where each plan goes on: past its instructions, or at once where a jump back there leads.
    auto next = [&](uint32_t after) {
        return after < size && code[after].opcode == Opcode::LoopBack ? code[after].a : after;
    };
    for (uint32_t i = 0; i < size; ++i) {
        const uint32_t plan = code[i].plan;
        if (plan == 0) continue;
        if ((plan & kPairPlan) != 0) {
            PairPlan& pair = pairs[plan & ~kPairPlan];
            pair.next = next(i + pair.length);
        } else if ((plan & kAppendPlan) != 0) {
            appends[plan & ~kAppendPlan].next = next(i + kAppendLength);
        } else {
            plans[plan - 1].next = next(i + plans[plan - 1].length);
        }
    }
    for (Instruction& in : code) {
        const uint32_t plan = in.plan;
        if (plan == 0) {
            in.detail = nullptr;
        } else if ((plan & kPairPlan) != 0) {
            const PairPlan& pair = pairs[plan & ~kPairPlan];
            in.detail = &pair;
            in.next = pair.next;
            in.target = pair.target;
        } else if ((plan & kAppendPlan) != 0) {
            in.detail = &appends[plan & ~kAppendPlan];
            in.next = appends[plan & ~kAppendPlan].next;
        } else {
            in.detail = &plans[plan - 1];
            in.next = plans[plan - 1].next;
            in.target = plans[plan - 1].target;
        }
    }
    for (uint32_t i = 0; i < size; ++i) {
        if (code[i].opcode == Opcode::DuplicatePair) MarkCountingHead(code, i, level);
        // A count whose body declares nothing: the body's entry is only its nesting check.
        if (code[i].opcode == Opcode::LoopCount) {
            code[i].b = i + 1 < size && code[i + 1].opcode == Opcode::EnterBody && code[i + 1].b == 0 ? 1 : 0;
        }
    }
    for (Instruction& in : code) {
        in.handler = in.plan == 0                   ? static_cast<uint8_t>(in.opcode)
                     : (in.plan & kPairPlan) != 0   ? PairHandler(pairs[in.plan & ~kPairPlan].end)
                     : (in.plan & kAppendPlan) != 0 ? uint8_t{kAppendHandler}
                                                    : uint8_t{kComputeHandler};
        if ((in.plan & kPairPlan) != 0) {
            if (const uint8_t own = OwnPairHandler(pairs[in.plan & ~kPairPlan])) in.handler = own;
        } else if (in.plan != 0 && (in.plan & kAppendPlan) == 0) {
            Computation& plan = plans[in.plan - 1];
            if (const uint8_t own = StoreOwnHandler(plan)) in.handler = own;
            if (const uint8_t own = ElementJumpOwnHandler(plan)) in.handler = own;
        }
        if (in.plan != 0) continue;
        if (in.opcode == Opcode::DuplicatePair && in.a != kNoCountingHead) in.handler = kCountingHeadHandler;
        const bool call = in.opcode == Opcode::Call || in.opcode == Opcode::CallAndPushResult;
        if (in.opcode == Opcode::CallAndPushResult && in.a == kFastSuccessorToHead) {
            // Marked only before the jump back to a counting head (MarkCountingHead).
            const Instruction* head = code.data() + (&in)[1].a;
            in.handler = head->b != 0 ? kAscentStepHandler : kSuccessorToHeadHandler;
        } else if (in.opcode == Opcode::CallAndPushResult && in.a >= kFastAdd && in.a <= kFastMultiply) {
            static_assert(kFastSubtract == kFastAdd + 1 && kFastMultiply == kFastAdd + 2);
            static_assert(kStackSubtractHandler == kStackAddHandler + 1 &&
                          kStackMultiplyHandler == kStackAddHandler + 2);
            in.handler = static_cast<uint8_t>(kStackAddHandler + (in.a - kFastAdd));
        } else if (call && in.a == kPlainCall && !in.block->isNative && in.block->kind != BlockKind::Task) {
            in.handler = kRoutineCallHandler;
        }
    }
    for (uint32_t i = 0; i + 1 < size; ++i) {
        if (function && code[i].plan == 0 && code[i].opcode == Opcode::Assign && code[i].a == level &&
            code[i].b == 0 && code[i + 1].opcode == Opcode::ReturnFromRoutine) {
            code[i].handler = kReturnHandler;
            if (i != 0 && code[i - 1].plan == 0 && code[i - 1].opcode == Opcode::PushVariable) {
                code[i - 1].handler = kReturnVariableHandler;
            }
        }
    }
}
