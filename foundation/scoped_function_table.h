// A process-wide table of platform functions replaced for a scope. Seams are such tables, so
// product code takes no test-only arguments; the override puts the previous table back on
// every way out, so no seam is left set by a test that failed half-way.
#pragma once

template <class Table, Table (*Set)(const Table&)>
class ScopedFunctionTable {
public:
    explicit ScopedFunctionTable(const Table& replacement) : m_previous(Set(replacement)) {}
    ~ScopedFunctionTable() { Set(m_previous); }
    ScopedFunctionTable(const ScopedFunctionTable&) = delete;
    ScopedFunctionTable& operator=(const ScopedFunctionTable&) = delete;

    // The table in use before this override.
    const Table& Previous() const { return m_previous; }

private:
    Table m_previous;
};
