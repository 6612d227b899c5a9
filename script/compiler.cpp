#include "script/compiler.h"

#include <string_view>
#include <utility>
#include <vector>

#include "script/lexer.h"
#include "script/operators.h"
#include "script/scope.h"

namespace {

// Messages of the compiler, as reported.
constexpr const char* kMissingSemicolon = "cannot be interpreted. (did you forget \";\")?";
constexpr const char* kOpenBraceRequired = "\"{\" is required";
constexpr const char* kCloseBraceRequired = "\"}\" is required";
constexpr const char* kCloseBracketRequired = "\"]\" is required";
constexpr const char* kAssignRequired = "\"=\" is required";
constexpr const char* kOpenParenRequired = "\"(\" is required";
constexpr const char* kCloseParenRequired = "\")\" is required";
constexpr const char* kCloseAbsoluteRequired = "\"|)\" is required";
constexpr const char* kCaseOpenNeeded = "\"(\" is needed";
constexpr const char* kCaseCloseNeeded = "\")\" is needed";
constexpr const char* kVariableIdentifierRequired = "identifiers are required";
constexpr const char* kRoutineIdentifierRequired = "identifiers required";
constexpr const char* kFormalArgumentRequired = "Formal argument required";
constexpr const char* kLoopIdentifierExpected = "identifier expected";
constexpr const char* kMustBeIn = "must be in";
constexpr const char* kRangeRequired = "\"..\" must be required";
constexpr const char* kVariableCalled = "Variable can not be called as function or subroutine";
constexpr const char* kResultNotFound = "Unable to find function (Returning value in task?)";
constexpr const char* kDeepEvent = "Events can not be defined in deep hierarchies";
constexpr const char* kAssignForEqual = "Did you mistake \"=\" for \"==\"?";
constexpr const char* kRoutineInExpression = "Subroutines and Tasks can not be called in expressions";
constexpr const char* kNoTerm = "There is not a valid expression term";
constexpr const char* kOperatorOverwritten =
    "A function corresponding to an operator was overwritten but the number of arguments is different";

constexpr uint32_t kNoCondition = ~uint32_t{0};

class Compiler {
public:
    explicit Compiler(ScriptEngine& engine) : engine_(engine) {}

    void CompileScript(const std::string& source, std::span<const BuiltinEntry> builtins);

    // The line of the lexer that was reading when an error was raised.
    int ErrorLine() const { return reporting_->line; }

private:
    // Counts nesting on the native stack and refuses to go deeper than the limit.
    class NestingGuard {
    public:
        explicit NestingGuard(Compiler& compiler) : compiler_(compiler) {
            if (++compiler_.nesting_ > kMaxCompileNesting) throw parser_error(kNestingTooDeepMessage);
        }
        ~NestingGuard() { --compiler_.nesting_; }
        NestingGuard(const NestingGuard&) = delete;
        NestingGuard& operator=(const NestingGuard&) = delete;

    private:
        Compiler& compiler_;
    };

    TokenKind Kind() const { return lexer_.kind; }
    void Next() { NextToken(lexer_); }
    // Consumes a token of `kind`, or stops with `message`.
    void Expect(TokenKind kind, const char* message) {
        if (Kind() != kind) throw parser_error(message);
        Next();
    }
    // Consumes an identifier and returns it, or stops with `message`.
    std::string ExpectWord(const char* message) {
        std::string word = lexer_.word;
        Expect(TokenKind::Word, message);
        return word;
    }

    Block* NewBlock(BlockKind kind, uint32_t level);
    void RegisterBuiltin(const BuiltinEntry& entry);

    Instruction& Emit(Opcode opcode, uint32_t a = 0, uint32_t b = 0);
    void EmitCall(Opcode opcode, Block* routine, uint32_t count);
    void EmitPush(Value value);
    void EmitVariable(Opcode opcode, const Symbol& symbol);
    void EmitOperator(const char* name, uint32_t count);
    uint32_t Here() const { return static_cast<uint32_t>(block_->instructions.size()); }

    // Declarations.
    void DeclareVariable(const std::string& name);
    void DeclareRoutine(const std::string& name, BlockKind kind, uint32_t arguments);
    void PreScan();
    const Symbol* Lookup(const std::string& name) const;
    const Symbol* FindLocal(const std::string& name) const;

    // Blocks and statements.
    void CompileBlock(Block* block, const std::vector<std::string>& parameters);
    void CompileNestedBlock(BlockKind kind);
    bool BodyDefinesRoutine() const;
    bool CompileBody(BlockKind kind, uint32_t loopValues, const std::string* parameter);
    void EndLoop(uint32_t head, uint32_t condition, bool inPlace, uint32_t loopValues);
    void ParseStatements();
    void ParseWordStatement();
    void ParseLet();
    void ParseRoutineDefinition();
    void ParseLoop();
    void ParseTimes();
    void ParseWhile();
    void ParseCountingLoop(bool ascent);
    void ParseIf();
    void ParseAlternative();
    void ParseReturn();
    uint32_t ParseArguments();
    void ParseCall(Opcode opcode, Block* routine, const std::string& name);

    // Expressions, loosest binding first.
    void ParseExpression();
    void ParseLogical();
    void ParseComparison();
    void ParseSum();
    void ParseProduct();
    void ParsePrefix();
    void ParseSuffix();
    void ParseTerm();

    ScriptEngine& engine_;
    Lexer lexer_;
    Lexer scan_;  // the pre-scan's own reader, so the statement reader stays where it is
    const Lexer* reporting_ = &lexer_;
    std::vector<Scope> scopes_;
    Block* block_ = nullptr;  // block receiving code
    int nesting_ = 0;
    Value emptyString_;
    const Block* appendBlock_ = nullptr;
    const Block* concatenateBlock_ = nullptr;
    std::unordered_map<const Block*, FastCall> fastCalls_;  // operator blocks the machine computes itself
    // Bodies compiled in place into block_ around the code being emitted, and the loop values (counters
    // and bounds) their loops keep on block_'s stack meanwhile.
    uint32_t bodiesInPlace_ = 0;
    // The append of the latest one-element array literal.
    uint32_t singleAppend_ = ~uint32_t{0};
    const Block* singleAppendBlock_ = nullptr;
    uint32_t loopValuesInPlace_ = 0;
};

// Finds the targets of the case jumps, once, now that the block's code is complete (loop conditions get
// theirs when their loop is compiled), moves every jump past the markers it lands on, then plans the
// block's computations.
void FinishBlock(Block& block) {
    std::vector<Instruction>& code = block.instructions;
    const uint32_t size = static_cast<uint32_t>(code.size());
    for (uint32_t i = 0; i < size; ++i) {
        Instruction& in = code[i];
        switch (in.opcode) {
            case Opcode::CaseJumpIfTrue:
            case Opcode::CaseJumpIfFalse:
            case Opcode::CaseNext: {
                const bool skipNext = in.opcode == Opcode::CaseNext;
                uint32_t depth = 0;
                uint32_t target = size;
                for (uint32_t j = i + 1; j < size; ++j) {
                    Opcode op = code[j].opcode;
                    if (op == Opcode::CaseBegin) {
                        ++depth;
                    } else if (op == Opcode::CaseEnd) {
                        if (depth == 0) {
                            target = j;
                            break;
                        }
                        --depth;
                    } else if (op == Opcode::CaseNext && depth == 0 && !skipNext) {
                        target = j + 1;
                        break;
                    }
                }
                in.a = target;
                break;
            }
            default:
                break;
        }
    }
    // The case markers do nothing: a jump to one goes to what follows it instead.
    for (Instruction& in : code) {
        switch (in.opcode) {
            case Opcode::CaseJumpIfTrue:
            case Opcode::CaseJumpIfFalse:
            case Opcode::CaseNext:
            case Opcode::LoopIf:
            case Opcode::LoopBack:
            case Opcode::LoopCount:
            case Opcode::LoopWhileGreater:
            case Opcode::LoopWhileLess:
                while (in.a < size &&
                       (code[in.a].opcode == Opcode::CaseBegin || code[in.a].opcode == Opcode::CaseEnd)) {
                    ++in.a;
                }
                break;
            default:
                break;
        }
    }
    PlanComputations(block.instructions, block.level, block.kind == BlockKind::Function, block.computations,
                     block.pairs, block.appends);

    // A routine's code starts with the assignments of its parameters, each to a variable of its own:
    // a call then moves the arguments into those fresh variables itself.
    block.parameterMoves = 0;
    if ((block.kind == BlockKind::Sub || block.kind == BlockKind::Function) && block.arguments != 0 &&
        block.instructions.size() >= block.arguments) {
        std::vector<bool> taken(block.variableCount, false);
        uint32_t k = 0;
        for (; k < block.arguments; ++k) {
            const Instruction& in = block.instructions[k];
            if (in.opcode != Opcode::Assign || in.a != block.level || in.b >= block.variableCount ||
                taken[in.b])
                break;
            taken[in.b] = true;
        }
        if (k == block.arguments) block.parameterMoves = k;
    }
    block.movedEntry = block.parameterMoves;
    while (block.movedEntry != 0 && block.movedEntry < block.instructions.size() &&
           (block.instructions[block.movedEntry].opcode == Opcode::CaseBegin ||
            block.instructions[block.movedEntry].opcode == Opcode::CaseEnd)) {
        ++block.movedEntry;
    }
}

void Compiler::CompileScript(const std::string& source, std::span<const BuiltinEntry> builtins) {
    Block* main = NewBlock(BlockKind::Normal, 0);
    engine_.mainBlock = main;
    emptyString_ = NewString(engine_.types, u"");

    // Scope 0 holds the operators, the builtins and the declarations of the top level.
    scopes_.push_back(Scope{{}, BlockKind::Normal, main});
    for (const BuiltinEntry& entry : OperatorTable)
        RegisterBuiltin(entry);
    appendBlock_ = scopes_[0].symbols["append"].routine;
    concatenateBlock_ = scopes_[0].symbols["concatenate"].routine;
    const std::pair<const char*, FastCall> fast[] = {{"add", kFastAdd},
                                                     {"subtract", kFastSubtract},
                                                     {"multiply", kFastMultiply},
                                                     {"divide", kFastDivide},
                                                     {"remainder", kFastRemainder},
                                                     {"compare", kFastCompare},
                                                     {"successor", kFastSuccessor},
                                                     {"predecessor", kFastPredecessor},
                                                     {"negative", kFastNegative},
                                                     {"index_", kFastIndex},
                                                     {"index!", kFastIndexWritable},
                                                     {"true", kFastTrue},
                                                     {"false", kFastFalse}};
    for (const auto& [name, call] : fast)
        fastCalls_[scopes_[0].symbols[name].routine] = call;
    for (const BuiltinEntry& entry : builtins)
        RegisterBuiltin(entry);

    block_ = main;
    StartLexer(lexer_, source.c_str());
    Next();
    PreScan();
    ParseStatements();
    if (Kind() != TokenKind::EndOfFile) throw parser_error(kMissingSemicolon);
    FinishBlock(*main);
}

Block* Compiler::NewBlock(BlockKind kind, uint32_t level) {
    Block& block = engine_.blocks.emplace_back();
    block.kind = kind;
    block.level = level;
    return &block;
}

void Compiler::RegisterBuiltin(const BuiltinEntry& entry) {
    Block* block = NewBlock(BlockKind::Function, 0);
    block->name = entry.name;
    block->arguments = entry.argumentCount < 0 ? 0 : static_cast<uint32_t>(entry.argumentCount);
    block->native = entry.function;
    block->isNative = true;
    if (entry.function != nullptr && entry.argumentCount == 1) block->realFunction = entry.real;
    scopes_[0].symbols[block->name] = Symbol{0, block, -1};
}

Instruction& Compiler::Emit(Opcode opcode, uint32_t a, uint32_t b) {
    return block_->instructions.emplace_back(
        Instruction{opcode, static_cast<uint8_t>(opcode), lexer_.line, Value(), nullptr, a, b, 0});
}

void Compiler::EmitCall(Opcode opcode, Block* routine, uint32_t count) {
    FastCall fast = kPlainCall;
    if (opcode == Opcode::CallAndPushResult) {
        auto found = fastCalls_.find(routine);
        if (found != fastCalls_.end()) fast = found->second;
    }
    Instruction& call = Emit(opcode, fast, count);
    call.block = routine;
    call.c = bodiesInPlace_;
}

void Compiler::EmitPush(Value value) {
    Emit(Opcode::PushValue).value = std::move(value);
}

void Compiler::EmitVariable(Opcode opcode, const Symbol& symbol) {
    Emit(opcode, symbol.level, static_cast<uint32_t>(symbol.variable));
}

void Compiler::EmitOperator(const char* name, uint32_t count) {
    // Operators call whatever their name means here, so a nested routine of the same name and
    // argument count redefines the operator inside its block.
    const Symbol* symbol = Lookup(name);
    if (symbol == nullptr || symbol->routine == nullptr) throw parser_error(kOperatorOverwritten);
    Block* routine = symbol->routine;
    if (routine->kind == BlockKind::Sub || routine->kind == BlockKind::Task) {
        throw parser_error(kRoutineInExpression);
    }
    if (routine->arguments != count) throw parser_error(kOperatorOverwritten);
    EmitCall(Opcode::CallAndPushResult, routine, count);
}

void Compiler::DeclareVariable(const std::string& name) {
    Scope& scope = scopes_.back();
    if (scope.symbols.count(name) != 0) {
        throw parser_error("Variables with the same name are declared in the same scope (" + name + ")");
    }
    Block* owner = scope.block;
    scope.symbols.emplace(name, Symbol{owner->level, nullptr, static_cast<int32_t>(owner->variableCount)});
    ++owner->variableCount;
}

void Compiler::DeclareRoutine(const std::string& name, BlockKind kind, uint32_t arguments) {
    Scope& scope = scopes_.back();
    if (scope.symbols.count(name) != 0) throw parser_error("A routine is defined twice (" + name + ")");
    Block* routine = NewBlock(kind, scope.block->level + 1);
    routine->name = name;
    routine->arguments = arguments;
    scope.symbols.emplace(name, Symbol{routine->level, routine, -1});
}

// Declares the variables and routines of the block whose first token is current, up to its closing
// brace, so that they can be used above the line that declares them.
void Compiler::PreScan() {
    scan_ = lexer_;
    reporting_ = &scan_;
    int depth = 0;
    for (;;) {
        const TokenKind kind = scan_.kind;
        // The lexer stays on an invalid character; the statements stop there too.
        if (kind == TokenKind::EndOfFile || kind == TokenKind::Invalid) break;
        if (kind == TokenKind::OpenBrace) {
            ++depth;
        } else if (kind == TokenKind::CloseBrace) {
            if (depth == 0) break;
            --depth;
        } else if (depth == 0) {
            if (kind == TokenKind::KwLet || kind == TokenKind::KwReal) {
                NextToken(scan_);
                if (scan_.kind == TokenKind::Word) {
                    DeclareVariable(scan_.word);
                    NextToken(scan_);
                }
                continue;
            }
            if (kind == TokenKind::KwAscent || kind == TokenKind::KwDescent) {
                // The counter of a counting loop belongs to the loop body, even when written with
                // `let`; declaring it here as well would forbid two loops with the same counter.
                NextToken(scan_);
                if (scan_.kind == TokenKind::OpenParen) {
                    NextToken(scan_);
                    if (scan_.kind == TokenKind::KwLet || scan_.kind == TokenKind::KwReal) NextToken(scan_);
                }
                continue;
            }
            if (kind == TokenKind::KwFunction || kind == TokenKind::KwTask || kind == TokenKind::KwSub ||
                kind == TokenKind::At) {
                const BlockKind routineKind = kind == TokenKind::KwFunction ? BlockKind::Function
                                              : kind == TokenKind::KwTask   ? BlockKind::Task
                                                                            : BlockKind::Sub;
                NextToken(scan_);
                if (scan_.kind != TokenKind::Word) continue;
                std::string name = scan_.word;
                NextToken(scan_);
                uint32_t arguments = 0;
                if (scan_.kind == TokenKind::OpenParen) {
                    NextToken(scan_);
                    while (scan_.kind != TokenKind::CloseParen && scan_.kind != TokenKind::EndOfFile &&
                           scan_.kind != TokenKind::OpenBrace && scan_.kind != TokenKind::CloseBrace &&
                           scan_.kind != TokenKind::Invalid) {
                        if (scan_.kind == TokenKind::Word) ++arguments;
                        NextToken(scan_);
                    }
                }
                DeclareRoutine(name, routineKind, arguments);
                continue;
            }
        }
        NextToken(scan_);
    }
    reporting_ = &lexer_;
}

const Symbol* Compiler::Lookup(const std::string& name) const {
    for (auto scope = scopes_.rbegin(); scope != scopes_.rend(); ++scope) {
        auto found = scope->symbols.find(name);
        if (found != scope->symbols.end()) return &found->second;
    }
    return nullptr;
}

const Symbol* Compiler::FindLocal(const std::string& name) const {
    auto found = scopes_.back().symbols.find(name);
    return found == scopes_.back().symbols.end() ? nullptr : &found->second;
}

// "{" statements "}" into `block`, whose parameters arrive on its stack first argument on top.
void Compiler::CompileBlock(Block* block, const std::vector<std::string>& parameters) {
    NestingGuard guard(*this);
    Expect(TokenKind::OpenBrace, kOpenBraceRequired);

    Block* outer = block_;
    block_ = block;
    scopes_.push_back(Scope{{}, block->kind, block});
    if (block->kind == BlockKind::Function) DeclareVariable("result");
    for (const std::string& parameter : parameters)
        DeclareVariable(parameter);
    PreScan();
    for (const std::string& parameter : parameters)
        EmitVariable(Opcode::Assign, *FindLocal(parameter));

    ParseStatements();
    Expect(TokenKind::CloseBrace, kCloseBraceRequired);
    FinishBlock(*block);
    scopes_.pop_back();
    block_ = outer;
}

// An anonymous block nested in the current one, without arguments.
void Compiler::CompileNestedBlock(BlockKind kind) {
    CompileBody(kind, 0, nullptr);
}

// Whether the body whose "{" is current defines a routine anywhere inside. Routines see the variables
// of the blocks around them through the frames of those blocks, so such a body keeps a frame of its
// own.
bool Compiler::BodyDefinesRoutine() const {
    if (Kind() != TokenKind::OpenBrace) return true;
    Lexer scan = lexer_;
    try {
        int depth = 0;
        for (;;) {
            switch (scan.kind) {
                case TokenKind::EndOfFile:
                case TokenKind::Invalid:
                    return true;
                case TokenKind::OpenBrace:
                    ++depth;
                    break;
                case TokenKind::CloseBrace:
                    if (--depth == 0) return false;
                    break;
                case TokenKind::KwFunction:
                case TokenKind::KwTask:
                case TokenKind::KwSub:
                case TokenKind::At:
                    return true;
                default:
                    break;
            }
            NextToken(scan);
        }
    } catch (const parser_error&) {
        return true;
    }
}

// A loop or conditional body with at most one parameter (a counting loop's counter, on the stack).
// A body that defines no routine is compiled in place: its code goes into the current block after an
// EnterBody, which voids the body's variables (the block's own from then on) and checks the nesting
// limit exactly where a call of the body would have. Otherwise the body is a block of its own, called.
// `loopValues` is what the body's loop keeps on the stack while the body runs. Returns whether the
// body was compiled in place.
bool Compiler::CompileBody(BlockKind kind, uint32_t loopValues, const std::string* parameter) {
    const uint32_t count = parameter != nullptr ? 1 : 0;
    if (BodyDefinesRoutine()) {
        const uint32_t bodies = bodiesInPlace_;
        const uint32_t values = loopValuesInPlace_;
        bodiesInPlace_ = 0;
        loopValuesInPlace_ = 0;
        Block* block = NewBlock(kind, block_->level + 1);
        if (parameter != nullptr) {
            CompileBlock(block, {*parameter});
        } else {
            CompileBlock(block, {});
        }
        bodiesInPlace_ = bodies;
        loopValuesInPlace_ = values;
        EmitCall(Opcode::Call, block, count);
        return false;
    }

    NestingGuard guard(*this);
    const uint32_t enter = Here();
    Emit(Opcode::EnterBody).c = bodiesInPlace_;
    const uint32_t first = block_->variableCount;
    Expect(TokenKind::OpenBrace, kOpenBraceRequired);
    ++bodiesInPlace_;
    loopValuesInPlace_ += loopValues;
    scopes_.push_back(Scope{{}, kind, block_});
    if (parameter != nullptr) DeclareVariable(*parameter);
    PreScan();
    if (parameter != nullptr) EmitVariable(Opcode::Assign, *FindLocal(*parameter));
    ParseStatements();
    Expect(TokenKind::CloseBrace, kCloseBraceRequired);
    scopes_.pop_back();
    --bodiesInPlace_;
    loopValuesInPlace_ -= loopValues;
    Instruction& entry = block_->instructions[enter];
    entry.a = first;
    entry.b = block_->variableCount - first;
    entry.line = lexer_.line;  // where the call of the body would stand, for the nesting limit's report
    return true;
}

// The jump back to the loop head, and the exits: the condition at `condition` (if any) leaves to just
// past the jump back. A loop whose body runs in place lists its body's code with the block, so that
// `break` (which may run in a routine the body calls) finds it, and trims at its exit what a statement
// interrupted by such a `break` left on the stack.
void Compiler::EndLoop(uint32_t head, uint32_t condition, bool inPlace, uint32_t loopValues) {
    const uint32_t back = Here();
    Emit(Opcode::LoopBack, head);
    const uint32_t exit = Here();
    if (condition != kNoCondition) block_->instructions[condition].a = exit;
    if (!inPlace) return;
    Emit(Opcode::TrimStack, loopValuesInPlace_ + loopValues);
    // The body starts after the first EnterBody past the head.
    uint32_t first = head;
    while (block_->instructions[first].opcode != Opcode::EnterBody)
        ++first;
    block_->loopsInPlace.push_back(LoopInPlace{first + 1, back, exit});
}

void Compiler::ParseStatements() {
    for (;;) {
        bool needsSemicolon = true;
        switch (Kind()) {
            case TokenKind::Word:
                ParseWordStatement();
                break;
            case TokenKind::KwLet:
            case TokenKind::KwReal:
                ParseLet();
                break;
            case TokenKind::KwLocal:
                Next();
                CompileNestedBlock(BlockKind::Normal);
                needsSemicolon = false;
                break;
            case TokenKind::KwLoop:
                ParseLoop();
                needsSemicolon = false;
                break;
            case TokenKind::KwTimes:
                ParseTimes();
                needsSemicolon = false;
                break;
            case TokenKind::KwWhile:
                ParseWhile();
                needsSemicolon = false;
                break;
            case TokenKind::KwAscent:
            case TokenKind::KwDescent:
                ParseCountingLoop(Kind() == TokenKind::KwAscent);
                needsSemicolon = false;
                break;
            case TokenKind::KwIf:
                ParseIf();
                needsSemicolon = false;
                break;
            case TokenKind::KwAlternative:
                ParseAlternative();
                needsSemicolon = false;
                break;
            case TokenKind::KwBreak:
                Emit(Opcode::BreakLoop);
                Next();
                break;
            case TokenKind::KwReturn:
                ParseReturn();
                break;
            case TokenKind::KwYield:
                Emit(Opcode::Yield);
                Next();
                break;
            case TokenKind::KwFunction:
            case TokenKind::KwTask:
            case TokenKind::KwSub:
            case TokenKind::At:
                ParseRoutineDefinition();
                needsSemicolon = false;
                break;
            default:
                return;
        }
        if (Kind() == TokenKind::Semicolon) {
            Next();
        } else if (needsSemicolon) {
            return;
        }
    }
}

void Compiler::ParseWordStatement() {
    const std::string name = lexer_.word;
    const Symbol* found = Lookup(name);
    if (found == nullptr) throw parser_error(name + " is an undefined identifier");
    const Symbol symbol = *found;
    Next();
    if (symbol.routine != nullptr) {
        ParseCall(Opcode::Call, symbol.routine, name);
        return;
    }

    switch (Kind()) {
        case TokenKind::Assign: {
            Next();
            ParseExpression();
            std::vector<Instruction>& code = block_->instructions;
            Instruction& last = code.back();
            if (last.opcode == Opcode::CallAndPushResult &&
                (last.block == appendBlock_ || last.block == concatenateBlock_)) {
                last.a = kGrowsAssignedVariable;
                if (last.block == concatenateBlock_ && singleAppend_ == Here() - 2 &&
                    singleAppendBlock_ == block_) {
                    code[Here() - 2].a = kAppendsToAssignedVariable;
                }
            }
            EmitVariable(Opcode::Assign, symbol);
            return;
        }
        case TokenKind::OpenBracket:
            // The variable is made unique, then every index selects a slot made unique in turn, so
            // the final overwrite changes this variable only.
            EmitVariable(Opcode::PushVariableWritable, symbol);
            while (Kind() == TokenKind::OpenBracket) {
                Next();
                ParseExpression();
                Expect(TokenKind::CloseBracket, kCloseBracketRequired);
                EmitOperator("index!", 2);
            }
            Expect(TokenKind::Assign, kAssignRequired);
            ParseExpression();
            Emit(Opcode::AssignThrough);
            return;
        case TokenKind::Increment:
        case TokenKind::Decrement: {
            const char* op = Kind() == TokenKind::Increment ? "successor" : "predecessor";
            EmitVariable(Opcode::PushVariable, symbol);
            EmitOperator(op, 1);
            EmitVariable(Opcode::Assign, symbol);
            Next();
            return;
        }
        case TokenKind::AddAssign:
        case TokenKind::SubtractAssign:
        case TokenKind::MultiplyAssign:
        case TokenKind::DivideAssign:
        case TokenKind::RemainderAssign:
        case TokenKind::PowerAssign: {
            const TokenKind kind = Kind();
            const char* op = kind == TokenKind::AddAssign         ? "add"
                             : kind == TokenKind::SubtractAssign  ? "subtract"
                             : kind == TokenKind::MultiplyAssign  ? "multiply"
                             : kind == TokenKind::DivideAssign    ? "divide"
                             : kind == TokenKind::RemainderAssign ? "remainder"
                                                                  : "power";
            Next();
            EmitVariable(Opcode::PushVariable, symbol);
            ParseExpression();
            EmitOperator(op, 2);
            EmitVariable(Opcode::Assign, symbol);
            return;
        }
        default:
            throw parser_error(kVariableCalled);
    }
}

void Compiler::ParseLet() {
    Next();
    const std::string name = ExpectWord(kVariableIdentifierRequired);
    // The pre-scan declared it; a declaration it could not see is made now.
    if (FindLocal(name) == nullptr) DeclareVariable(name);
    const Symbol symbol = *FindLocal(name);
    if (Kind() == TokenKind::Assign) {
        Next();
        ParseExpression();
        EmitVariable(Opcode::Assign, symbol);
    }
}

void Compiler::ParseRoutineDefinition() {
    const TokenKind keyword = Kind();
    const BlockKind kind = keyword == TokenKind::KwFunction ? BlockKind::Function
                           : keyword == TokenKind::KwTask   ? BlockKind::Task
                                                            : BlockKind::Sub;
    Next();
    // The name is consumed only once declared, so that errors about it give its line.
    if (Kind() != TokenKind::Word) throw parser_error(kRoutineIdentifierRequired);
    const std::string name = lexer_.word;
    const Symbol* symbol = FindLocal(name);
    if (symbol == nullptr || symbol->routine == nullptr || symbol->routine->isNative) {
        DeclareRoutine(name, kind, 0);
        symbol = FindLocal(name);
    }
    Block* routine = symbol->routine;
    if (keyword == TokenKind::At) {
        if (routine->level != 1) throw parser_error(kDeepEvent);
        engine_.events[name] = routine;
    }
    Next();

    std::vector<std::string> parameters;
    if (Kind() == TokenKind::OpenParen) {
        Next();
        if (Kind() != TokenKind::CloseParen) {
            for (;;) {
                if (Kind() == TokenKind::KwLet || Kind() == TokenKind::KwReal) Next();
                parameters.push_back(ExpectWord(kFormalArgumentRequired));
                if (Kind() != TokenKind::Comma) break;
                Next();
            }
        }
        Expect(TokenKind::CloseParen, kCloseParenRequired);
    }
    routine->arguments = static_cast<uint32_t>(parameters.size());
    CompileBlock(routine, parameters);
}

void Compiler::ParseLoop() {
    Next();
    if (Kind() == TokenKind::OpenParen) {
        ParseExpression();
        const uint32_t head = Here();
        Emit(Opcode::LoopCount);
        EndLoop(head, head, CompileBody(BlockKind::Loop, 1, nullptr), 1);
        Emit(Opcode::Pop);
        return;
    }
    const uint32_t head = Here();
    EndLoop(head, kNoCondition, CompileBody(BlockKind::Loop, 0, nullptr), 0);
}

void Compiler::ParseTimes() {
    Next();
    ParseExpression();
    const uint32_t head = Here();
    Emit(Opcode::LoopCount);
    if (Kind() == TokenKind::KwLoop) Next();
    EndLoop(head, head, CompileBody(BlockKind::Loop, 1, nullptr), 1);
    Emit(Opcode::Pop);
}

void Compiler::ParseWhile() {
    Next();
    const uint32_t head = Here();
    ParseExpression();
    const uint32_t condition = Here();
    Emit(Opcode::LoopIf);
    if (Kind() == TokenKind::KwLoop) Next();
    EndLoop(head, condition, CompileBody(BlockKind::Loop, 0, nullptr), 0);
}

// The counter and the bound live on the stack; the body receives a copy of the counter.
void Compiler::ParseCountingLoop(bool ascent) {
    Next();
    Expect(TokenKind::OpenParen, kOpenParenRequired);
    if (Kind() == TokenKind::KwLet || Kind() == TokenKind::KwReal) Next();
    const std::string counter = ExpectWord(kLoopIdentifierExpected);
    Expect(TokenKind::KwIn, kMustBeIn);
    ParseExpression();
    Expect(TokenKind::Range, kRangeRequired);
    ParseExpression();
    Expect(TokenKind::CloseParen, kCloseParenRequired);
    if (Kind() == TokenKind::KwLoop) Next();

    if (ascent) Emit(Opcode::Swap);
    const uint32_t head = Here();
    Emit(Opcode::DuplicatePair);
    EmitOperator("compare", 2);
    const uint32_t condition = Here();
    Emit(ascent ? Opcode::LoopWhileGreater : Opcode::LoopWhileLess);
    if (!ascent) EmitOperator("predecessor", 1);
    Emit(Opcode::Duplicate);
    const bool inPlace = CompileBody(BlockKind::Loop, 2, &counter);
    if (ascent) EmitOperator("successor", 1);
    EndLoop(head, condition, inPlace, 2);
    Emit(Opcode::Pop);
    Emit(Opcode::Pop);
}

void Compiler::ParseIf() {
    Next();
    Emit(Opcode::CaseBegin);
    ParseExpression();
    Emit(Opcode::CaseJumpIfFalse);
    CompileNestedBlock(BlockKind::Normal);
    while (Kind() == TokenKind::KwElse) {
        Next();
        Emit(Opcode::CaseNext);
        if (Kind() != TokenKind::KwIf) {
            CompileNestedBlock(BlockKind::Normal);
            break;
        }
        Next();
        ParseExpression();
        Emit(Opcode::CaseJumpIfFalse);
        CompileNestedBlock(BlockKind::Normal);
    }
    Emit(Opcode::CaseEnd);
}

// The selector stays on the stack while the cases compare against it; the case that matches pops
// it, runs and leaves the whole statement.
void Compiler::ParseAlternative() {
    Next();
    ParseExpression();
    Emit(Opcode::CaseBegin);
    while (Kind() == TokenKind::KwCase) {
        Next();
        Expect(TokenKind::OpenParen, kCaseOpenNeeded);
        Emit(Opcode::CaseBegin);
        for (;;) {
            Emit(Opcode::Duplicate);
            ParseExpression();
            EmitOperator("compare", 2);
            Emit(Opcode::CompareEqual);
            Emit(Opcode::Duplicate);
            Emit(Opcode::CaseJumpIfTrue);
            Emit(Opcode::Pop);
            if (Kind() != TokenKind::Comma) break;
            Next();
        }
        EmitPush(NewBoolean(engine_.types, false));
        Expect(TokenKind::CloseParen, kCaseCloseNeeded);
        Emit(Opcode::CaseEnd);
        Emit(Opcode::CaseJumpIfFalse);
        Emit(Opcode::Pop);
        CompileNestedBlock(BlockKind::Normal);
        Emit(Opcode::CaseNext);
    }
    Emit(Opcode::Pop);
    if (Kind() == TokenKind::KwOthers) {
        Next();
        CompileNestedBlock(BlockKind::Normal);
    }
    Emit(Opcode::CaseEnd);
}

void Compiler::ParseReturn() {
    Next();
    if (Kind() == TokenKind::Semicolon || Kind() == TokenKind::CloseBrace || Kind() == TokenKind::EndOfFile) {
        Emit(Opcode::ReturnFromRoutine);
        return;
    }
    ParseExpression();
    // The result of the nearest enclosing function; a sub or task in between has none to give.
    const Symbol* result = nullptr;
    for (auto scope = scopes_.rbegin(); scope != scopes_.rend(); ++scope) {
        auto found = scope->symbols.find("result");
        if (found != scope->symbols.end() && found->second.routine == nullptr) {
            result = &found->second;
            break;
        }
        if (scope->kind == BlockKind::Sub || scope->kind == BlockKind::Task) break;
    }
    if (result == nullptr) throw parser_error(kResultNotFound);
    EmitVariable(Opcode::Assign, *result);
    Emit(Opcode::ReturnFromRoutine);
}

// An optional parenthesised argument list; returns the number of arguments pushed.
uint32_t Compiler::ParseArguments() {
    uint32_t count = 0;
    if (Kind() != TokenKind::OpenParen) return 0;
    Next();
    if (Kind() != TokenKind::CloseParen) {
        for (;;) {
            ParseExpression();
            ++count;
            if (Kind() != TokenKind::Comma) break;
            Next();
        }
    }
    Expect(TokenKind::CloseParen, kCloseParenRequired);
    return count;
}

void Compiler::ParseCall(Opcode opcode, Block* routine, const std::string& name) {
    const uint32_t count = ParseArguments();
    if (count != routine->arguments) throw parser_error(name + " has an incorrect number of arguments");
    EmitCall(opcode, routine, count);
}

void Compiler::ParseExpression() {
    NestingGuard guard(*this);
    ParseLogical();
}

// Short-circuit and value-preserving: the deciding operand itself is the result.
void Compiler::ParseLogical() {
    ParseComparison();
    while (Kind() == TokenKind::AndThen || Kind() == TokenKind::OrElse) {
        const bool isAnd = Kind() == TokenKind::AndThen;
        Next();
        Emit(Opcode::Duplicate);
        Emit(Opcode::CaseBegin);
        Emit(isAnd ? Opcode::CaseJumpIfFalse : Opcode::CaseJumpIfTrue);
        Emit(Opcode::Pop);
        ParseComparison();
        Emit(Opcode::CaseEnd);
    }
}

void Compiler::ParseComparison() {
    ParseSum();
    Opcode compare;
    switch (Kind()) {
        case TokenKind::Equal:
            compare = Opcode::CompareEqual;
            break;
        case TokenKind::NotEqual:
            compare = Opcode::CompareNotEqual;
            break;
        case TokenKind::Less:
            compare = Opcode::CompareLess;
            break;
        case TokenKind::LessEqual:
            compare = Opcode::CompareLessEqual;
            break;
        case TokenKind::Greater:
            compare = Opcode::CompareGreater;
            break;
        case TokenKind::GreaterEqual:
            compare = Opcode::CompareGreaterEqual;
            break;
        case TokenKind::Assign:
            throw parser_error(kAssignForEqual);
        default:
            return;
    }
    Next();
    ParseSum();
    EmitOperator("compare", 2);
    Emit(compare);
}

void Compiler::ParseSum() {
    ParseProduct();
    for (;;) {
        const char* op;
        switch (Kind()) {
            case TokenKind::Plus:
                op = "add";
                break;
            case TokenKind::Minus:
                op = "subtract";
                break;
            case TokenKind::Tilde:
                op = "concatenate";
                break;
            default:
                return;
        }
        Next();
        ParseProduct();
        EmitOperator(op, 2);
    }
}

void Compiler::ParseProduct() {
    ParsePrefix();
    for (;;) {
        const char* op;
        switch (Kind()) {
            case TokenKind::Asterisk:
                op = "multiply";
                break;
            case TokenKind::Slash:
                op = "divide";
                break;
            case TokenKind::Percent:
                op = "remainder";
                break;
            default:
                return;
        }
        Next();
        ParsePrefix();
        EmitOperator(op, 2);
    }
}

void Compiler::ParsePrefix() {
    while (Kind() == TokenKind::Plus)
        Next();
    if (Kind() == TokenKind::Minus || Kind() == TokenKind::Exclamation) {
        const char* op = Kind() == TokenKind::Minus ? "negative" : "not";
        Next();
        NestingGuard guard(*this);
        ParsePrefix();
        EmitOperator(op, 1);
        return;
    }
    ParseSuffix();
}

void Compiler::ParseSuffix() {
    ParseTerm();
    if (Kind() == TokenKind::Caret) {
        Next();
        NestingGuard guard(*this);
        ParseSuffix();
        EmitOperator("power", 2);
        return;
    }
    while (Kind() == TokenKind::OpenBracket) {
        Next();
        ParseExpression();
        if (Kind() == TokenKind::Range) {
            Next();
            ParseExpression();
            Expect(TokenKind::CloseBracket, kCloseBracketRequired);
            EmitOperator("slice", 3);
        } else {
            Expect(TokenKind::CloseBracket, kCloseBracketRequired);
            EmitOperator("index_", 2);
        }
    }
}

void Compiler::ParseTerm() {
    switch (Kind()) {
        case TokenKind::Real:
            EmitPush(NewReal(engine_.types, lexer_.number));
            Next();
            return;
        case TokenKind::Character:
            EmitPush(NewChar(engine_.types, lexer_.character));
            Next();
            return;
        case TokenKind::String:
            EmitPush(NewString(engine_.types, lexer_.string));
            Next();
            return;
        case TokenKind::OpenParen:
            Next();
            ParseExpression();
            Expect(TokenKind::CloseParen, kCloseParenRequired);
            return;
        case TokenKind::OpenAbsolute:
            Next();
            ParseExpression();
            Expect(TokenKind::CloseAbsolute, kCloseAbsoluteRequired);
            EmitOperator("absolute", 1);
            return;
        case TokenKind::OpenBracket:
            // An array literal is the empty string with every element appended in turn.
            Next();
            EmitPush(emptyString_);
            if (Kind() != TokenKind::CloseBracket) {
                uint32_t elements = 0;
                for (;;) {
                    ParseExpression();
                    EmitOperator("append", 2);
                    ++elements;
                    if (Kind() != TokenKind::Comma) break;
                    Next();
                }
                if (elements == 1 && block_->instructions.back().block == appendBlock_) {
                    singleAppend_ = Here() - 1;
                    singleAppendBlock_ = block_;
                }
            }
            Expect(TokenKind::CloseBracket, kCloseBracketRequired);
            return;
        case TokenKind::Word: {
            const std::string name = lexer_.word;
            const Symbol* found = Lookup(name);
            if (found == nullptr) throw parser_error(name + " is an undefined identifier");
            const Symbol symbol = *found;
            if (symbol.routine == nullptr) {
                EmitVariable(Opcode::PushVariable, symbol);
                Next();
                return;
            }
            if (symbol.routine->kind == BlockKind::Sub || symbol.routine->kind == BlockKind::Task) {
                throw parser_error(kRoutineInExpression);
            }
            Next();
            ParseCall(Opcode::CallAndPushResult, symbol.routine, name);
            return;
        }
        default:
            throw parser_error(kNoTerm);
    }
}

}  // namespace

const Block* ScriptEngine::FindEvent(std::string_view name) const {
    auto found = events.find(std::string(name));
    return found == events.end() ? nullptr : found->second;
}

std::unique_ptr<ScriptEngine> Compile(const std::string& source, std::span<const BuiltinEntry> builtins) {
    auto engine = std::make_unique<ScriptEngine>();
    Compiler compiler(*engine);
    try {
        compiler.CompileScript(source, builtins);
    } catch (const parser_error& error) {
        engine->hasError = true;
        engine->errorMessage = error.what();
        engine->errorLine = compiler.ErrorLine();
        engine->events.clear();
    }
    return engine;
}
