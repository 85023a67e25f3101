#pragma once

#include "app/modal_runner.h"

#include <QStringList>
#include <deque>
#include <functional>

namespace vellick::test {

// Answers the window's modal dialogs in order, without showing them: each step gets the dialog (to look
// at it and fill in its widgets) and returns its result. A dialog with no step left is cancelled.
class ScriptedRunner : public ModalRunner {
public:
    using Step = std::function<int(QDialog&)>;

    void then(Step step) { m_steps.push_back(std::move(step)); }
    int run(QDialog& dialog) override
    {
        titles.append(dialog.windowTitle());
        if (m_steps.empty())
            return QDialog::Rejected;
        const Step step = std::move(m_steps.front());
        m_steps.pop_front();
        return step(dialog);
    }
    bool done() const { return m_steps.empty(); }

    QStringList titles; // every dialog run, in order

private:
    std::deque<Step> m_steps;
};

} // namespace vellick::test
