// Stand-ins for the plug-in library, for the loader's tests. This one source
// makes several libraries, each lacking what its build definition says; the
// complete one tells its host through WriteLog when its object is destroyed.
#include "plugin/vqtintwell.h"

namespace {

class StandInTintwell : public ITintwell
{
public:
    ~StandInTintwell() override
    {
        if (m_host)
            m_host->WriteLog("released");
    }
    bool SetHost(IInkHost* host) override
    {
        m_host = host;
        return host != nullptr;
    }
    bool ShowForWindow(HWND, int) override { return false; }
    bool ShowForWidget(QWidget*, int) override { return false; }

private:
    IInkHost* m_host = nullptr;
};

} // namespace

#if defined(STANDIN_NO_EXPORTS)
extern "C" VQTINTWELL_API int NotTheTintwellLibrary() { return 0; }
#else
ITintwell* NewInterface()
{
#  if defined(STANDIN_NULL_OBJECT)
    return nullptr;
#  else
    return new StandInTintwell;
#  endif
}
#  if !defined(STANDIN_NEW_ONLY)
void ReleaseInterface(ITintwell* object)
{
    delete object;
}
#  endif
#endif
