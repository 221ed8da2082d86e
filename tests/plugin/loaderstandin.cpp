// Stand-ins for the plug-in library, for the loader's tests. This one source
// makes several libraries, each lacking what its build definition says; the
// complete one tells its host through WriteLog when its object is destroyed.
#include "plugin/vqtintwell.h"

struct StandInTintwell : ITintwell
{
    ~StandInTintwell() override { if (m_host) m_host->WriteLog("released"); }
    bool SetHost(IInkHost* host) override { return (m_host = host) != nullptr; }
    bool ShowForWindow(HWND, int) override { return false; }
    bool ShowForWidget(QWidget*, int) override { return false; }
    IInkHost* m_host = nullptr;
};

#if defined(STANDIN_NO_EXPORTS)
extern "C" VQTINTWELL_API int NotTheTintwellLibrary() { return 0; }
#elif defined(STANDIN_NULL_OBJECT)
ITintwell* NewInterface() { return nullptr; }
void ReleaseInterface(ITintwell* object) { delete object; }
#else
ITintwell* NewInterface() { return new StandInTintwell; }
#  if !defined(STANDIN_NEW_ONLY)
void ReleaseInterface(ITintwell* object) { delete object; }
#  endif
#endif
