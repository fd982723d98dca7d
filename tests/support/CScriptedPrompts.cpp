#include "CScriptedPrompts.h"

CScriptedPrompts::CScriptedPrompts()
{
    CUiPrompts::SetHandler(this);
}

CScriptedPrompts::~CScriptedPrompts()
{
    CUiPrompts::SetHandler(nullptr);
}

void CScriptedPrompts::QueueAnswer(int answer)
{
    m_answers.push_back(answer);
}

void CScriptedPrompts::QueuePath(const QString& path)
{
    m_paths.push_back(path);
}

std::vector<QString> CScriptedPrompts::MessageTexts() const
{
    std::vector<QString> texts;
    for (const PromptRequest& request : m_requests) {
        if (request.kind == PromptRequest::Kind::MessageBox)
            texts.push_back(request.text);
    }
    return texts;
}

PromptRequest CScriptedPrompts::Last() const
{
    return m_requests.empty() ? PromptRequest{} : m_requests.back();
}

int CScriptedPrompts::OnMessageBox(const PromptRequest& request)
{
    m_requests.push_back(request);
    if (m_answers.empty())
        return IDOK;
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

QString CScriptedPrompts::OnFileDialog(const PromptRequest& request)
{
    m_requests.push_back(request);
    if (m_paths.empty())
        return {};
    QString path = m_paths.front();
    m_paths.pop_front();
    return path;
}
