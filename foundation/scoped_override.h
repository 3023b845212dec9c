// A process-wide setting replaced for a scope: a table of platform functions (the seams, so
// product code takes no test-only arguments) or a single value. Set installs a value and gives
// the previous one back; the override puts that back on every way out, so no test that failed
// half-way leaves a seam set.
#pragma once

template <class Value, auto Set>
class ScopedOverride {
public:
    explicit ScopedOverride(const Value& replacement) : m_previous(Set(replacement)) {}
    ~ScopedOverride() { Set(m_previous); }
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;

private:
    Value m_previous;
};
