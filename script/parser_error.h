#pragma once
// The engine's one exception class: raised by the script lexer and the compiler, caught by the compile
// entry, which reports the message with the lexer's current line.

#include <exception>
#include <string>
#include <utility>

class parser_error : public std::exception {
public:
    explicit parser_error(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};
