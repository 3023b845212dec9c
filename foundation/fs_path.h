// A file-system path: the narrow string with the few path operations the setup needs.
// Nothing here touches the file system.
#pragma once

#include "foundation/narrow_string.h"

namespace Traits {
struct VsFsPathStrTraitA {
    using StringType = CStringA;
};
} // namespace Traits

namespace PathRules {
bool IsSeparator(char ch);
// Whether the last character is a separator: the trail byte 0x5C of a double-byte character
// (in code page 932 many characters end in it) is not one.
bool EndsInSeparator(const char* path);
// Position of the last backslash, or of the last forward slash only when there is no
// backslash; never a trail byte of a double-byte character. -1 when there is none.
int FindLastSeparator(const char* path);
void Join(CStringA& path, const char* name);
} // namespace PathRules

template <class Trait>
class VsFsPathT : public Trait::StringType {
public:
    using StringType = typename Trait::StringType;

    VsFsPathT() = default;
    VsFsPathT(const char* path) : StringType(path) {}         // NOLINT: paths convert from text
    VsFsPathT(const StringType& path) : StringType(path) {}   // NOLINT: shares the storage
    VsFsPathT(const VsFsPathT&) = default;
    VsFsPathT(VsFsPathT&&) noexcept = default;
    VsFsPathT& operator=(const VsFsPathT&) = default;
    VsFsPathT& operator=(VsFsPathT&&) noexcept = default;
    virtual ~VsFsPathT() = default;

    VsFsPathT Combine(const char* name) const
    {
        VsFsPathT result(*this);
        return result.Append(name);
    }

    VsFsPathT& Append(const char* name)
    {
        PathRules::Join(*this, name);
        return *this;
    }

    VsFsPathT& AddTrailingSeparator(char separator)
    {
        if (!this->IsEmpty() && !PathRules::EndsInSeparator(this->GetString()))
            *this += separator;
        return *this;
    }

    VsFsPathT GetFileName() const
    {
        const int last = PathRules::FindLastSeparator(this->GetString());
        return last < 0 ? *this : VsFsPathT(this->Mid(last + 1));
    }

    VsFsPathT GetFolder() const
    {
        const int last = PathRules::FindLastSeparator(this->GetString());
        return last > 0 ? VsFsPathT(this->Left(last + 1)) : *this;
    }
};

using VsFsPath = VsFsPathT<Traits::VsFsPathStrTraitA>;

#ifdef _WIN32
// Windows' own Temp folder (C:\Windows\Temp); empty, with the last error
// ERROR_BAD_PATHNAME, when the Windows folder has no ASCII name, which no ANSI code page could
// then be trusted to carry.
VsFsPath GetWindowsTempFolder();
#endif
