#include "framework/FileDialogFilter.h"

#include <filesystem>
#include <system_error>
#include <utility>

std::vector<FileFilterEntry> ParseFileFilter(std::string_view filter)
{
    std::vector<std::string_view> parts;
    while (!filter.empty())
    {
        const std::size_t bar = filter.find('|');
        parts.push_back(filter.substr(0, bar));
        if (bar == std::string_view::npos)
            break;
        filter.remove_prefix(bar + 1);
    }
    std::vector<FileFilterEntry> entries;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
    {
        if (parts[i].empty())
            break; // the "||" that ends the list
        entries.push_back({std::string(parts[i]), std::string(parts[i + 1])});
    }
    return entries;
}

std::string ApplyDefaultExtension(std::string path, std::string_view defaultExtension)
{
    if (defaultExtension.empty() || path.empty())
        return path;
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (path.find('.', nameStart) != std::string::npos)
        return path;
    if (defaultExtension.front() != '.')
        path += '.';
    path += defaultExtension;
    return path;
}

std::string ResolveOpenDialogName(std::string path, std::string_view defaultExtension)
{
    std::string extended = ApplyDefaultExtension(path, defaultExtension);
    if (extended == path)
        return path;
    std::error_code error;
    if (!std::filesystem::exists(extended, error) && std::filesystem::exists(path, error))
        return path;
    return extended;
}

std::string ResolveFileDialogName(std::string path, const FileDialogRequest& request)
{
    return request.kind == FileDialogRequest::Kind::Open
               ? ResolveOpenDialogName(std::move(path), request.defaultExtension)
               : ApplyDefaultExtension(std::move(path), request.defaultExtension);
}
