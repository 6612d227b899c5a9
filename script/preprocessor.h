#pragma once
// Textual preprocessing of script text before it is lexed: comments, #define, #include,
// __LINE__ and __FILE__.

#include <string>

// The text the lexer reads: "SCRIPT/SYSTEM/AUTOINCL.QSF" included on line 1, every included file
// flattened onto the line of its directive, defined names substituted. `baseDirectory` is "" or ends
// in '/'; include paths beginning with "./" are resolved against it. Never fails; problems are
// reported on the console.
std::string Preprocess(const std::string& text, const std::string& baseDirectory);

// Turns every // line comment into a /* */ block comment, leaving a comment open at the end of the
// text as it is.
std::string ConvertComments(const std::string& text);

// The directory part of `path` with '/' separators and a final '/', or "" when it has none.
std::string GetDirectory(const std::string& path);
