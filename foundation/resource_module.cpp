#include "foundation/resource_module.h"

namespace {
HINSTANCE g_resourceModule = nullptr;
}

HINSTANCE GetResourceModule() { return g_resourceModule != nullptr ? g_resourceModule : GetModuleHandleA(nullptr); }

ScopedResourceModule::ScopedResourceModule(HINSTANCE module) : m_previous(g_resourceModule)
{
    g_resourceModule = module;
}

ScopedResourceModule::~ScopedResourceModule() { g_resourceModule = m_previous; }
