// The descriptor each folder and file was made with through the product's secured calls
// (foundation/secured_create.h) while this lives; the calls still make what they make. Wine
// neither keeps nor enforces a descriptor that a test could read back (nor writes a label back
// as text), so the tests compare the descriptor at the call; that Windows keeps a user out shows
// only on Windows.
#pragma once

#include "foundation/secured_create.h"

#include <string>

class SecuredCreations {
public:
    SecuredCreations();
    // Whether the path was made with exactly this descriptor (security descriptor language).
    bool MadeWith(const std::string& path, const char* descriptor) const;

private:
    ScopedSecuredCreateFunctions m_functions;
};
