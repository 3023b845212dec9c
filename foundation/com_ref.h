// Owns one reference to a COM object and releases it when it goes.
#pragma once

#include <unknwn.h>

#include <utility>

template <class Interface>
class ComRef {
public:
    ComRef() = default;
    // Takes over a reference the caller already holds.
    explicit ComRef(Interface* object) : m_object(object) {}
    ComRef(ComRef&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept
    {
        Reset(std::exchange(other.m_object, nullptr));
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { Reset(); }

    Interface* Get() const { return m_object; }
    Interface* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    void Reset(Interface* object = nullptr)
    {
        if (m_object != nullptr)
            m_object->Release();
        m_object = object;
    }

    // The place for an out parameter that hands over a reference.
    Interface** Put()
    {
        Reset();
        return &m_object;
    }
    void** Receive() { return reinterpret_cast<void**>(Put()); }

    template <class Other>
    ComRef<Other> Query(REFIID iid) const
    {
        ComRef<Other> other;
        if (m_object != nullptr)
            m_object->QueryInterface(iid, other.Receive());
        return other;
    }

private:
    Interface* m_object = nullptr;
};
