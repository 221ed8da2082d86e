#include "lang/ctranslatormgr.h"

#include <QTranslator>

CTranslatorMgr* CTranslatorMgr::instance()
{
    static CTranslatorMgr manager;
    return &manager;
}

CTranslatorMgr::CTranslatorMgr(QObject* parent)
    : QObject(parent)
    , m_translator(new QTranslator)
{
}

CTranslatorMgr::~CTranslatorMgr()
{
    delete m_translator;
    m_translator = nullptr;
}

QTranslator* CTranslatorMgr::translator() const
{
    return m_translator;
}

void CTranslatorMgr::loadTranslator()
{
}

QString CTranslatorMgr::text(const char* /*context*/, const char* sourceText)
{
    // Until translations are loaded, the texts stay those of the forms.
    return QString::fromUtf8(sourceText);
}
