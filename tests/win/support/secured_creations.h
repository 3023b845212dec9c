// The descriptor each folder and file was made with through the product's secured calls
// (foundation/secured_create.h) while this lives; the calls still make what they make. Wine
// neither keeps nor enforces a descriptor that a test could read back, so the tests show the
// descriptor at the call; that Windows keeps a user out shows only on Windows.
#pragma once

#include "foundation/secured_create.h"

#include <map>
#include <string>

class SecuredCreations {
public:
    SecuredCreations();
    ~SecuredCreations();
    SecuredCreations(const SecuredCreations&) = delete;
    SecuredCreations& operator=(const SecuredCreations&) = delete;

    // The descriptor given for the path, described ("owner S-1-5-32-544; protected: S-1-5-18
    // write, ...; label S-1-16-12288 no write up"); empty when nothing was made there.
    std::string At(const std::string& path) const;

private:
    ScopedSecuredCreateFunctions m_functions;
};

// An owner, an access list (whether protected, each allowed SID, "write" when it may change
// anything, "inside too" when inherited by what is made inside) and the integrity label.
std::string DescribeDescriptor(PSECURITY_DESCRIPTOR descriptor);
