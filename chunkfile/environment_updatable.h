#pragma once
// Top-level parents that an editing layer changes and writes back into their
// file in place: the level environment (QORENVDT) and placed objects
// (QOOBJECT). Each carries editing flags and three operations that the
// in-place rewrite uses: whether a stored copy is its own, its header's id
// (null when it has no header) and the user name of its header.
//
// The second serialisation (SizeForProcess, FillForProcess) writes such a
// chunk only while its update flag is set, and clears the flag once written.

#include <string_view>

#include "chunkfile/chunk.h"

namespace plat {
class File;
}

class FileChunk;

// The name a claim writes into the claimed chunk's header.
constexpr std::string_view UserName = "Player";

class UpdatableParentChunk : public ParentChunk {
public:
    bool UpdateFlag() const { return update_; }
    void SetUpdateFlag(bool update) { update_ = update; }
    bool IsModified() const { return modified_; }
    bool IsClaimed() const { return claimed_; }
    // Set after reading when the header's flags have bit 0 set.
    bool IsLocked() const { return locked_; }
    // Set when the chunk is to leave its file (the next rewrite or save drops it).
    bool IsDeleted() const { return deleted_; }

    // Whether the stored chunk at the file's position is this chunk's copy.
    virtual bool MatchesStoredCopy(plat::File& file) = 0;
    // The header child's id text; null without a header.
    virtual const char* GetHeaderId() const = 0;
    // Sets the header's user name (its first 16 characters); nothing without a header.
    virtual void SetHeaderName(std::string_view name) = 0;

    // Marks the chunk as being edited and writes UserName into its header;
    // false when the file has no name, or the chunk is claimed or locked.
    bool Claim(const FileChunk& file);
    // Ends an edit, marking the chunk modified when `modified`.
    void Release(bool modified);

    uint32_t SizeForProcess() override;
    void FillForProcess(ByteWriter& out) override;

protected:
    UpdatableParentChunk(ParentChunk* parent, std::string_view id);
    void SetLocked(bool locked) { locked_ = locked; }
    void SetDeleted(bool deleted) { deleted_ = deleted; }

private:
    friend bool RewriteTopLevelChunk(UpdatableParentChunk& chunk, plat::File& file);

    bool update_ = false;
    bool modified_ = false;
    bool claimed_ = false;
    bool locked_ = false;
    bool deleted_ = false;
};

// Writes `chunk` over its stored copy in an open, uncompressed chunk file
// (the first top-level chunk of its id that MatchesStoredCopy accepts),
// moving what follows; appends it when no copy matches, and leaves it out
// when it is marked deleted. Then cuts the file to its new length, stores
// that length in the file's header and clears the chunk's modified and
// claimed flags. A chunk marked deleted is deleted afterwards. Does nothing
// (false) when the chunk has no header; false when a read or write fails.
bool RewriteTopLevelChunk(UpdatableParentChunk& chunk, plat::File& file);
