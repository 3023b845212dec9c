#include "foundation/resource_module.h"

namespace {
HINSTANCE g_resourceModule = nullptr;
}

HINSTANCE GetResourceModule() { return g_resourceModule != nullptr ? g_resourceModule : GetModuleHandleA(nullptr); }

HINSTANCE SetResourceModule(HINSTANCE module)
{
    const HINSTANCE previous = g_resourceModule;
    g_resourceModule = module;
    return previous;
}
