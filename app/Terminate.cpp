// What runs when an exception escapes or a noexcept promise is broken.
// libstdc++'s own handler names the exception's type in plain C++, for which
// it links its whole name demangler (about 50 KB of the program); a program
// without a console has no one to show that name to. This one writes the
// type's linker name and any what() text to stderr, where a log or a
// debugger sees them, and ends the program as the default one does.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

#if defined(__GLIBCXX__)
#include <cxxabi.h>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    if (const std::type_info* type = abi::__cxa_current_exception_type()) {
        std::fprintf(stderr, "terminate called after throwing an exception of type %s\n", type->name());
        try {
            throw;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "  what(): %s\n", e.what());
        } catch (...) {
        }
    } else {
        std::fputs("terminate called without an active exception\n", stderr);
    }
    std::abort();
}
}  // namespace __gnu_cxx
#endif
