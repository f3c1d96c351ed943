// The program's own call stack, as the error handler's full description names it: the
// innermost function that carries source line numbers and the line of its failing
// statement.
//
// A function that carries line numbers (the transfer tool's) opens with a Frame of its
// name, and a mark on its own line stands before each statement that calls out of it:
// the frame then holds the line of the statement running now, as the line marks of an
// interpreted program do. The library's
// functions carry no line numbers; the few the handler's walk starts from (the handler
// and its message builder) hold a frame with line 0.
//
// Cost: a frame is two stores on entry and one on exit, a mark one store of a constant;
// nothing is looked up or allocated. The frames live on the C++ stack and are chained
// through a plain global, so they belong to the user-interface thread: the port's reader
// thread runs no function that holds one.
#pragma once

#include <source_location>

namespace runtime {

class Frame {
public:
    // A frame with line numbers; its line starts at the frame's own.
    explicit Frame(const char* name,
                   std::source_location where = std::source_location::current()) noexcept
        : name_(name), line_(static_cast<int>(where.line())), outer_(innermost_) {
        innermost_ = this;
    }
    struct NoLines {};
    // A frame of a function without line numbers (line 0).
    Frame(const char* name, NoLines) noexcept : name_(name), outer_(innermost_) {
        innermost_ = this;
    }
    ~Frame() { innermost_ = outer_; }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    // The statement that begins on the line below the mark runs now.
    void next_line(std::source_location where = std::source_location::current()) noexcept {
        line_ = static_cast<int>(where.line()) + 1;
    }

    const char* name() const { return name_; }
    int line() const { return line_; }
    const Frame* outer() const { return outer_; }
    static const Frame* innermost() { return innermost_; }

private:
    const char* name_;
    int line_ = 0;
    const Frame* outer_;
    static inline const Frame* innermost_ = nullptr;
};

}  // namespace runtime
