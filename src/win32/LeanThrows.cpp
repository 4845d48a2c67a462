// The library's throw helpers, which its containers and strings call, made
// to throw TavroError: its own versions construct std::logic_error and
// std::runtime_error, and those bring in the library's older string type,
// some 25 KB, which no Tavro program otherwise needs. Linked into each exe.
#include <cstdlib>
#include <new>

#include "Errors.h"

namespace std {
void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_alloc(); }
void __throw_length_error(const char* what) { throw tavro::TavroError(what); }
void __throw_logic_error(const char* what) { throw tavro::TavroError(what); }
void __throw_out_of_range(const char* what) { throw tavro::TavroError(what); }
void __throw_out_of_range_fmt(const char* what, ...) {
  throw tavro::TavroError(what);
}
void __throw_invalid_argument(const char* what) {
  throw tavro::TavroError(what);
}
}  // namespace std

// Each program catches every exception in its main function; the library's
// verbose terminate handler would only bring its name demangler in.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
