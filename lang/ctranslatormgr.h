#ifndef VQTINTWELL_CTRANSLATORMGR_H
#define VQTINTWELL_CTRANSLATORMGR_H

#include <QObject>
#include <QString>

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

    // A visible text of the dialog class 'context', as the plug-in's
    // translator gives it for the English 'sourceText'; empty when the loaded
    // translation has no entry, and callers show it as it comes.
    static QString text(const char* context, const char* sourceText);

private:
    QTranslator* m_translator = nullptr;
};

#endif
