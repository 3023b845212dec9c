// The narrow string every text and path travels in: bytes of the active ANSI code page,
// reference-counted, copy-on-write (copies share storage until one of them is changed).
#pragma once

#include <cstdarg>
#include <cstddef>
#include <exception>

// A caller's fault: a negative length, a null or invalid format, a buffer length beyond its
// capacity. Not std::invalid_argument: constructing one of the runtime's standard exceptions
// links its copy-on-write string and more into the image, about a quarter of its code.
class CStringArgumentError : public std::exception {
public:
    explicit CStringArgumentError(const char* what) noexcept : m_what(what) {}
    const char* what() const noexcept override { return m_what; }

private:
    const char* m_what;
};

class CStringA {
public:
    CStringA() = default;
    CStringA(const char* text); // NOLINT: implicit, so a literal goes wherever a text is asked for
    CStringA(const char* text, int length);
    CStringA(const CStringA& other);
    CStringA(CStringA&& other) noexcept;
    CStringA& operator=(const CStringA& other);
    CStringA& operator=(CStringA&& other) noexcept;
    CStringA& operator=(const char* text);
    ~CStringA();

    int GetLength() const;
    bool IsEmpty() const { return GetLength() == 0; }
    void Empty();
    const char* GetString() const;
    operator const char*() const { return GetString(); } // NOLINT: platform calls take the text
    char GetAt(int index) const { return GetString()[index]; }
    // True while another string shares this one's storage.
    bool SharesStorageWith(const CStringA& other) const { return m_data != nullptr && m_data == other.m_data; }

    CStringA& operator+=(const char* text);
    CStringA& operator+=(const CStringA& text);
    CStringA& operator+=(char ch);
    void Append(const char* text, int length);

    // Byte-wise; equal texts are equal whatever their storage.
    friend bool operator==(const CStringA& a, const CStringA& b);
    friend bool operator==(const CStringA& a, const char* b);
    friend bool operator!=(const CStringA& a, const CStringA& b) { return !(a == b); }
    friend bool operator!=(const CStringA& a, const char* b) { return !(a == b); }

    CStringA Left(int count) const;
    CStringA Mid(int first) const;
    CStringA Mid(int first, int count) const;
    // Last position of a single-byte character, never a trail byte; -1 when absent.
    int ReverseFind(char ch) const;

    // White space of the ANSI code page: blank, tab, line feed, vertical tab, form feed, carriage return.
    CStringA& Trim();
    CStringA& TrimLeft();
    CStringA& TrimRight();

    // printf-style formatting into this string (%s, %d, %#x and the rest of the printf family).
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args) __attribute__((format(printf, 2, 0)));

#ifdef _WIN32
    // String-table entry of the resource module, converted from UTF-16 to the thread's
    // ANSI code page. Without an entry the string becomes empty and the result is false.
    bool LoadById(unsigned int id);
    // Loads the entry and uses it as the format text.
    void FormatById(unsigned int formatId, ...);
#endif

    // Writable storage of at least minLength bytes plus the terminator, no longer shared.
    char* GetBuffer(int minLength);
    // Ends GetBuffer: the length is newLength, or up to the first zero byte when -1.
    void ReleaseBuffer(int newLength = -1);

private:
    struct Data;
    Data* m_data = nullptr;

    static Data* Allocate(int capacity);
    static void Release(Data* data);
    void MakeUnique(int minCapacity);
    void Assign(const char* text, int length);
};

CStringA operator+(const CStringA& a, const CStringA& b);
CStringA operator+(const CStringA& a, const char* b);
CStringA operator+(const char* a, const CStringA& b);
