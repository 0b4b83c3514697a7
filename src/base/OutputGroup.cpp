#include "base/OutputGroup.h"

#include "base/File.h"

#include <cassert>

std::size_t COutputGroup::Add(std::string path, OutputFileTexts texts)
{
    m_members.push_back(Member{std::move(path), std::move(texts)});
    return m_members.size() - 1;
}

COutputGroup::Member& COutputGroup::At(std::size_t k)
{
    assert(k < m_members.size() && "a file of the group is named by the index Add gave it");
    return m_members[k];
}

const std::string& COutputGroup::Path(std::size_t k) const
{
    assert(k < m_members.size() && "a file of the group is named by the index Add gave it");
    return m_members[k].path;
}

std::vector<std::string> COutputGroup::Paths() const
{
    std::vector<std::string> paths;
    for (const Member& member : m_members)
        paths.push_back(member.path);
    return paths;
}

COutputFile& COutputGroup::File(std::size_t k)
{
    return *At(k).file;
}

Problem COutputGroup::Create()
{
    for (Member& member : m_members)
    {
        if (!member.file->Create(member.path))
        {
            Problem problem =
                FileProblemOf(kErrWrite, member.texts.cannotCreate, member.path, member.file->GetProblem());
            Discard();
            return problem;
        }
    }
    return {};
}

Problem COutputGroup::Write(std::size_t k, std::string_view bytes)
{
    if (File(k).Write(bytes.data(), bytes.size()))
        return {};
    return WriteFailed(k);
}

Problem COutputGroup::WriteFailed(std::size_t k, std::string reason)
{
    Member& member = At(k);
    Problem problem = reason.empty() ? FileProblemOf(kErrWrite, member.texts.cannotWrite, member.path,
                                                     member.file->GetProblem())
                                     : Failure(kErrWrite, member.texts.cannotWrite, std::move(reason));
    Discard();
    return problem;
}

Problem COutputGroup::Commit()
{
    // One file alone is renamed over its destination: nothing of the old content stays behind.
    if (m_members.size() == 1)
        return m_members.front().file->Commit() ? Problem{} : WriteFailed(0);
    std::vector<COutputFile*> files;
    files.reserve(m_members.size());
    for (const Member& member : m_members)
        files.push_back(member.file.get());
    std::size_t failed = 0;
    if (CommitAll(files, failed))
        return {};
    return WriteFailed(failed);
}

void COutputGroup::Discard()
{
    for (Member& member : m_members)
        member.file->Discard();
}
