#include "foundation/resource_module.h"

namespace {
HINSTANCE g_resourceModule = nullptr;
}

HINSTANCE GetResourceModule() { return g_resourceModule != nullptr ? g_resourceModule : GetModuleHandleA(nullptr); }

void SetResourceModule(HINSTANCE module) { g_resourceModule = module; }
