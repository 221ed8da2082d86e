#ifndef VQTINTWELL_CTRANSLATORMGR_H
#define VQTINTWELL_CTRANSLATORMGR_H

#include <QObject>

class QTranslator;

// The plug-in's language manager. Its translator belongs to the plug-in alone
// and is never installed into the application.
class CTranslatorMgr : public QObject
{
    Q_OBJECT

public:
    static CTranslatorMgr* instance();

    explicit CTranslatorMgr(QObject* parent = nullptr);
    ~CTranslatorMgr() override;

    QTranslator* translator() const;
    void loadTranslator();

private:
    QTranslator* m_translator = nullptr;
};

#endif
