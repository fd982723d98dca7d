#pragma once
// Answers the program's message boxes and file dialogs for a test, and
// records what was asked. Installed for its lifetime.
#include "platform/CUiPrompts.h"

#include <QString>

#include <deque>
#include <vector>

class CScriptedPrompts : public IPromptHandler
{
public:
    CScriptedPrompts();
    ~CScriptedPrompts() override;
    CScriptedPrompts(const CScriptedPrompts&) = delete;
    CScriptedPrompts& operator=(const CScriptedPrompts&) = delete;

    // The next message box gets this answer; without one it gets IDOK.
    void QueueAnswer(int answer);
    // The next file dialog gets this path; without one it is cancelled.
    void QueuePath(const QString& path);

    const std::vector<PromptRequest>& Requests() const { return m_requests; }
    std::size_t Count() const { return m_requests.size(); }
    // The message texts shown, in order.
    std::vector<QString> MessageTexts() const;
    // The last request (a default one when there was none).
    PromptRequest Last() const;
    void Clear() { m_requests.clear(); }

    int OnMessageBox(const PromptRequest& request) override;
    QString OnFileDialog(const PromptRequest& request) override;

private:
    std::vector<PromptRequest> m_requests;
    std::deque<int> m_answers;
    std::deque<QString> m_paths;
};
