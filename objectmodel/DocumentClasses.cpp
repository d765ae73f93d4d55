#include "objectmodel/DocumentClasses.h"

#include <stdexcept>

thread_local DS_DocResManagerBase* g_DocResManagerTls = nullptr;

namespace {

// Installed before the first document is read; only read afterwards.
SlideShowFactory g_slideShowFactory = nullptr;
DocResManagerFactory g_docResManagerFactory = nullptr;

} // namespace

void InstallSlideShowClass(SlideShowFactory factory)
{
    g_slideShowFactory = factory;
}

void InstallDocResManagerClass(DocResManagerFactory factory)
{
    g_docResManagerFactory = factory;
}

bool HasSlideShowClass()
{
    return g_slideShowFactory != nullptr;
}

bool HasDocResManagerClass()
{
    return g_docResManagerFactory != nullptr;
}

std::unique_ptr<DS_SlideShowBase> CreateSlideShow()
{
    if (!g_slideShowFactory)
        throw std::logic_error("no slide-show class is installed");
    return g_slideShowFactory();
}

std::unique_ptr<DS_DocResManagerBase> CreateDocResManager()
{
    if (!g_docResManagerFactory)
        throw std::logic_error("no document resource manager class is installed");
    return g_docResManagerFactory();
}
