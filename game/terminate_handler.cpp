// The program's answer to std::terminate: end at once.
//
// The GNU C++ library's default answer prints the type of the exception that was not caught,
// demangled, to standard error, which a Windows program without a console does not have; its
// demangler alone is 45 KB of this statically linked program. Defining the handler here keeps
// that code out. Every other toolchain keeps its own handler.
#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler();
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif
