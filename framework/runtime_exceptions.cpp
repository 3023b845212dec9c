// The containers report a size beyond their maximum through std::__throw_length_error. The C++
// runtime's own raises std::length_error, and the file that defines it links the runtime's
// standard exception classes and both of its strings: about a quarter of the image's code.
// Defined here, the runtime's is never linked. No size so large can be allocated, so this
// raises what every caller already handles. Should the image come to need another of the
// runtime's __throw_* helpers, the link fails on this definition twice over instead of
// silently growing: define that one here too.
#include <new>

namespace std {

void __throw_length_error(const char*)
{
    throw std::bad_alloc();
}

// An allocator asked for more than it can count: the same object of the runtime defines these.
void __throw_bad_alloc()
{
    throw std::bad_alloc();
}

void __throw_bad_array_new_length()
{
    throw std::bad_alloc();
}

} // namespace std
