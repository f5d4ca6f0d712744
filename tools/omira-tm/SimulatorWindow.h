#pragma once

#include <QStringList>
#include <QWidget>

class PrintManagerSimulator;
class QLabel;
class QPlainTextEdit;

// The print manager's window: the program finds it by its title. It shows the printer
// state, the last documents as they came out on paper, and what went in and out.
class SimulatorWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int KeptDocuments = 10;

    explicit SimulatorWindow(const PrintManagerSimulator &simulator, QWidget *parent = nullptr);

private:
    void showState();
    void addDocument(const QStringList &paper);
    void addActivity(const QString &text);

    const PrintManagerSimulator &m_simulator;
    QLabel *m_state = nullptr;
    QPlainTextEdit *m_paper = nullptr;
    QPlainTextEdit *m_activity = nullptr;
    QStringList m_documents; // newest last
};
