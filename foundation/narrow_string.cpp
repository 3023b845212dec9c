// Storage and byte operations of the narrow string; nothing here touches the platform.
#include "foundation/narrow_string.h"

#include "foundation/code_page.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

struct CStringA::Data {
    std::atomic<int> refs;
    int length;
    int capacity;
    char* text() { return reinterpret_cast<char*>(this + 1); }
};

namespace {

bool IsAnsiSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

int CheckedLength(std::size_t length)
{
    // More than any allocation could hold.
    if (length > 0x3FFFFFFF)
        throw std::bad_alloc();
    return static_cast<int>(length);
}

} // namespace

CStringA::Data* CStringA::Allocate(int capacity)
{
    void* block = std::malloc(sizeof(Data) + static_cast<std::size_t>(capacity) + 1);
    if (block == nullptr)
        throw std::bad_alloc();
    Data* data = new (block) Data;
    data->refs = 1;
    data->length = 0;
    data->capacity = capacity;
    data->text()[0] = '\0';
    return data;
}

void CStringA::Release(Data* data)
{
    if (data != nullptr && --data->refs == 0) {
        data->~Data();
        std::free(data);
    }
}

CStringA::CStringA(const char* text)
{
    if (text != nullptr)
        Assign(text, CheckedLength(std::strlen(text)));
}

CStringA::CStringA(const char* text, int length)
{
    if (length < 0)
        throw CStringArgumentError("negative string length");
    if (text != nullptr)
        Assign(text, length);
}

CStringA::CStringA(const CStringA& other) : m_data(other.m_data)
{
    if (m_data != nullptr)
        ++m_data->refs;
}

CStringA::CStringA(CStringA&& other) noexcept : m_data(other.m_data) { other.m_data = nullptr; }

CStringA& CStringA::operator=(const CStringA& other)
{
    if (other.m_data != nullptr)
        ++other.m_data->refs;
    Release(m_data);
    m_data = other.m_data;
    return *this;
}

CStringA& CStringA::operator=(CStringA&& other) noexcept
{
    if (this != &other) {
        Release(m_data);
        m_data = other.m_data;
        other.m_data = nullptr;
    }
    return *this;
}

CStringA& CStringA::operator=(const char* text)
{
    CStringA copy(text);
    return *this = std::move(copy);
}

CStringA::~CStringA() { Release(m_data); }

int CStringA::GetLength() const { return m_data != nullptr ? m_data->length : 0; }

void CStringA::Empty()
{
    Release(m_data);
    m_data = nullptr;
}

const char* CStringA::GetString() const { return m_data != nullptr ? m_data->text() : ""; }

void CStringA::MakeUnique(int minCapacity)
{
    if (m_data != nullptr && m_data->refs == 1 && m_data->capacity >= minCapacity)
        return;
    const int length = GetLength();
    int capacity = minCapacity;
    if (m_data != nullptr && capacity < m_data->capacity)
        capacity = m_data->capacity;
    Data* fresh = Allocate(capacity);
    std::memcpy(fresh->text(), GetString(), static_cast<std::size_t>(length) + 1);
    fresh->length = length;
    Release(m_data);
    m_data = fresh;
}

void CStringA::Assign(const char* text, int length)
{
    Data* fresh = length > 0 ? Allocate(length) : nullptr;
    if (fresh != nullptr) {
        std::memcpy(fresh->text(), text, static_cast<std::size_t>(length));
        fresh->text()[length] = '\0';
        fresh->length = length;
    }
    Release(m_data);
    m_data = fresh;
}

void CStringA::Append(const char* text, int length)
{
    if (text == nullptr || length <= 0)
        return;
    const int oldLength = GetLength();
    const int newLength = CheckedLength(static_cast<std::size_t>(oldLength) + static_cast<std::size_t>(length));
    if (m_data == nullptr || m_data->refs != 1 || m_data->capacity < newLength) {
        // Grow geometrically; the source may live in our own storage, so copy it first.
        CStringA source(text, length);
        MakeUnique(newLength + newLength / 2);
        std::memcpy(m_data->text() + oldLength, source.GetString(), static_cast<std::size_t>(length));
    } else {
        std::memmove(m_data->text() + oldLength, text, static_cast<std::size_t>(length));
    }
    m_data->length = newLength;
    m_data->text()[newLength] = '\0';
}

CStringA& CStringA::operator+=(const char* text)
{
    if (text != nullptr)
        Append(text, CheckedLength(std::strlen(text)));
    return *this;
}

CStringA& CStringA::operator+=(const CStringA& text)
{
    Append(text.GetString(), text.GetLength());
    return *this;
}

CStringA& CStringA::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

bool operator==(const CStringA& a, const CStringA& b)
{
    return a.GetLength() == b.GetLength() && std::memcmp(a.GetString(), b.GetString(), static_cast<std::size_t>(a.GetLength())) == 0;
}

bool operator==(const CStringA& a, const char* b) { return std::strcmp(a.GetString(), b != nullptr ? b : "") == 0; }

CStringA CStringA::Left(int count) const
{
    if (count <= 0)
        return CStringA();
    if (count >= GetLength())
        return *this;
    return CStringA(GetString(), count);
}

CStringA CStringA::Mid(int first) const { return Mid(first, GetLength()); }

CStringA CStringA::Mid(int first, int count) const
{
    const int length = GetLength();
    if (first < 0)
        first = 0;
    if (first >= length || count <= 0)
        return CStringA();
    if (count > length - first)
        count = length - first;
    if (first == 0 && count == length)
        return *this;
    return CStringA(GetString() + first, count);
}

int CStringA::ReverseFind(char ch) const
{
    const char* text = GetString();
    int found = -1;
    for (int pos = 0; text[pos] != '\0'; pos = CodePage::NextCharPos(text, pos)) {
        if (text[pos] == ch)
            found = pos;
    }
    return found;
}

CStringA& CStringA::TrimLeft()
{
    const char* text = GetString();
    int first = 0;
    while (IsAnsiSpace(text[first]))
        ++first;
    if (first > 0)
        *this = Mid(first);
    return *this;
}

CStringA& CStringA::TrimRight()
{
    // Walk forward so that a trail byte is never mistaken for white space.
    const char* text = GetString();
    int end = 0;
    for (int pos = 0; text[pos] != '\0'; pos = CodePage::NextCharPos(text, pos)) {
        if (!IsAnsiSpace(text[pos]))
            end = CodePage::NextCharPos(text, pos);
    }
    if (end < GetLength())
        *this = Left(end);
    return *this;
}

CStringA& CStringA::Trim()
{
    TrimRight();
    return TrimLeft();
}

void CStringA::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CStringA::FormatV(const char* format, va_list args)
{
    if (format == nullptr)
        throw CStringArgumentError("null format text");
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0)
        throw CStringArgumentError("invalid format text");
    CStringA result;
    char* buffer = result.GetBuffer(length);
    std::vsnprintf(buffer, static_cast<std::size_t>(length) + 1, format, args);
    result.ReleaseBuffer(length);
    *this = std::move(result);
}

char* CStringA::GetBuffer(int minLength)
{
    if (minLength < 0)
        throw CStringArgumentError("negative buffer length");
    if (minLength == 0 && m_data == nullptr)
        MakeUnique(1);
    MakeUnique(minLength > GetLength() ? minLength : GetLength());
    return m_data->text();
}

void CStringA::ReleaseBuffer(int newLength)
{
    if (m_data == nullptr)
        return;
    if (newLength < 0)
        newLength = CheckedLength(std::strlen(m_data->text()));
    if (newLength > m_data->capacity)
        throw CStringArgumentError("buffer length beyond its capacity");
    m_data->length = newLength;
    m_data->text()[newLength] = '\0';
}

CStringA operator+(const CStringA& a, const CStringA& b)
{
    CStringA result(a);
    result += b;
    return result;
}

CStringA operator+(const CStringA& a, const char* b)
{
    CStringA result(a);
    result += b;
    return result;
}

CStringA operator+(const char* a, const CStringA& b)
{
    CStringA result(a);
    result += b;
    return result;
}
