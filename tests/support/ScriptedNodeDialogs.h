#pragma once
// The dialogs that nodes open, without a display: each answers what the test
// scripted (in order) and records what it was shown. Dialogs nobody
// scripted answer as cancelled. Header-only: it names model types, and only
// the model's tests use it. Installed as the process-wide dialogs for the
// scope's life, together with a recording LDIF export runner.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "jobs/CProgressDlg.h"
#include "model/profiles/CFavoriteList.h"
#include "model/ports/LdifExport.h"
#include "model/ports/NodeDialogs.h"

class ScriptedNodeDialogs : public NodeDialogPort {
public:
    struct PasswordAnswer {
        bool ok;
        std::wstring password;
        bool save;
    };
    struct FileRequest {
        std::wstring extension;
        std::wstring fileName;
        std::wstring filter;
    };
    struct Certificates {
        std::wstring caption;
        std::vector<CertificatePage> pages;
        size_t active;
    };
    struct LdifRequest {
        std::wstring caption;
        std::wstring fileName;
        std::string filter;
    };
    struct FavoriteRequest {
        std::string name;
        std::string value;
    };

    bool AskPassword(std::wstring& password, bool& savePassword) override
    {
        ++passwordPrompts;
        if (passwords.empty())
            return false;
        PasswordAnswer answer = passwords.front();
        passwords.pop_front();
        password = answer.password;
        savePassword = answer.save;
        return answer.ok;
    }

    bool ChooseDN(CDataObject&, std::wstring& dn) override
    {
        if (dns.empty())
            return false;
        dn = dns.front();
        dns.pop_front();
        return true;
    }

    bool ChooseSaveFile(const std::wstring& extension, const std::wstring& fileName, const std::wstring& filter,
                        std::wstring& path) override
    {
        saveRequests.push_back(FileRequest{extension, fileName, filter});
        if (savePaths.empty())
            return false;
        path = savePaths.front();
        savePaths.pop_front();
        return true;
    }

    bool ChooseBinaryFile(const std::wstring& extension, const std::wstring& fileName, const std::wstring& filter,
                          BinaryFileChoice& choice) override
    {
        binaryRequests.push_back(FileRequest{extension, fileName, filter});
        if (binaryChoices.empty())
            return false;
        choice = binaryChoices.front();
        binaryChoices.pop_front();
        return true;
    }

    bool ChooseBinaryLoadFile(BinaryFileChoice& choice) override
    {
        ++loadRequests;
        if (loadChoices.empty())
            return false;
        choice = loadChoices.front();
        loadChoices.pop_front();
        return true;
    }

    void ShowCertificates(const std::wstring& caption, const std::vector<CertificatePage>& pages,
                          size_t active) override
    {
        certificates.push_back(Certificates{caption, pages, active});
    }

    bool AskLdifExport(const std::wstring& caption, const std::wstring& fileName, const std::string& filter,
                       LdifExportChoice& choice) override
    {
        ldifRequests.push_back(LdifRequest{caption, fileName, filter});
        if (ldifChoices.empty())
            return false;
        choice = ldifChoices.front();
        ldifChoices.pop_front();
        return true;
    }

    bool EditFavorite(const CFavoriteList&, std::string& name, std::string& value) override
    {
        favoriteRequests.push_back(FavoriteRequest{name, value});
        if (favoriteAnswers.empty())
            return false;
        bool ok = favoriteAnswers.front();
        favoriteAnswers.pop_front();
        return ok;
    }

    bool EditPassword(const std::wstring& value, const std::string& name, std::wstring& result) override
    {
        passwordRequests.push_back(std::make_pair(value, name));
        if (passwordResults.empty())
            return false;
        result = passwordResults.front();
        passwordResults.pop_front();
        return true;
    }

    int ShowCheckMessageBox(const std::wstring& text, const std::wstring&, unsigned confirmId, uint32_t) override
    {
        checkBoxes.push_back(std::make_pair(text, confirmId));
        if (checkAnswers.empty())
            return 2;
        int answer = checkAnswers.front();
        checkAnswers.pop_front();
        return answer;
    }

    // Answers, in order.
    std::deque<PasswordAnswer> passwords;
    std::deque<std::wstring> dns;
    std::deque<std::wstring> savePaths;
    std::deque<BinaryFileChoice> binaryChoices;
    std::deque<BinaryFileChoice> loadChoices;  // the load form
    std::deque<LdifExportChoice> ldifChoices;
    std::deque<bool> favoriteAnswers;
    std::deque<int> checkAnswers;
    std::deque<std::wstring> passwordResults;  // each an OK with that value

    // What was shown.
    int passwordPrompts = 0;
    std::vector<FileRequest> saveRequests;
    std::vector<FileRequest> binaryRequests;
    int loadRequests = 0;
    std::vector<Certificates> certificates;
    std::vector<LdifRequest> ldifRequests;
    std::vector<FavoriteRequest> favoriteRequests;
    std::vector<std::pair<std::wstring, unsigned>> checkBoxes;
    std::vector<std::pair<std::wstring, std::string>> passwordRequests;  // value and name
};

// What the LDIF export runner was asked to do.
struct RecordedLdifExport {
    CEntryObject* node;
    LdifExportRequest request;
    bool hasProgressWindow;
    std::wstring progressMainText;
    std::wstring progressCaption;
    int progressAnimation;
};

class ScriptedNodeDialogsScope {
public:
    ScriptedNodeDialogsScope()
        : m_previous(SetNodeDialogPort(m_dialogs)),
          m_previousRunner(SetLdifExportRunner(
              [exports = m_exports](CEntryObject& node, const LdifExportRequest& request,
                                    std::unique_ptr<CProgressDlg> progress) {
                  RecordedLdifExport recorded{&node, request, progress != nullptr, std::wstring(), std::wstring(), 0};
                  if (progress) {
                      recorded.progressMainText = progress->GetMainText();
                      recorded.progressCaption = progress->GetCaption();
                      recorded.progressAnimation = progress->GetAnimation();
                      progress->DestroyWindow();
                  }
                  exports->push_back(recorded);
              }))
    {
    }
    ~ScriptedNodeDialogsScope()
    {
        SetLdifExportRunner(std::move(m_previousRunner));
        SetNodeDialogPort(std::move(m_previous));
    }
    ScriptedNodeDialogsScope(const ScriptedNodeDialogsScope&) = delete;
    ScriptedNodeDialogsScope& operator=(const ScriptedNodeDialogsScope&) = delete;

    ScriptedNodeDialogs& Dialogs() { return *m_dialogs; }
    const std::vector<RecordedLdifExport>& Exports() const { return *m_exports; }

private:
    std::shared_ptr<ScriptedNodeDialogs> m_dialogs = std::make_shared<ScriptedNodeDialogs>();
    std::shared_ptr<std::vector<RecordedLdifExport>> m_exports = std::make_shared<std::vector<RecordedLdifExport>>();
    std::shared_ptr<NodeDialogPort> m_previous;
    LdifExportRunner m_previousRunner;
};
