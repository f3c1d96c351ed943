#include "faulty_files.h"

#include <utility>

namespace dbf_test {

// An open file whose calls pass through the layer's count.
class FaultyFiles::Faulty final : public dbf::OpenFile {
public:
    Faulty(FaultyFiles& layer, std::unique_ptr<dbf::OpenFile> file)
        : layer_(layer), file_(std::move(file)) {}

    int read_at(std::uint64_t offset, char* data, std::size_t n, std::size_t& got) override {
        got = 0;
        if (const Fault* f = layer_.strikes(Call::kRead)) return f->oscode;
        return file_->read_at(offset, data, n, got);
    }
    int write_at(std::uint64_t offset, const char* data, std::size_t n) override {
        const Fault* f = layer_.strikes(Call::kWrite);
        if (!f) return file_->write_at(offset, data, n);
        if (f->short_write) file_->write_at(offset, data, n / 2);
        return f->oscode;
    }
    int size(std::uint64_t& bytes) override { return file_->size(bytes); }
    int truncate(std::uint64_t bytes) override { return file_->truncate(bytes); }
    int sync() override {
        if (const Fault* f = layer_.strikes(Call::kFlush)) return f->oscode;
        return file_->sync();
    }
    bool try_lock(std::uint64_t offset, std::uint64_t length, bool exclusive) override {
        return !layer_.strikes(Call::kLock) && file_->try_lock(offset, length, exclusive);
    }
    void unlock(std::uint64_t offset, std::uint64_t length) override {
        file_->unlock(offset, length);
    }

private:
    FaultyFiles& layer_;
    std::unique_ptr<dbf::OpenFile> file_;
};

FaultyFiles::FaultyFiles() : below_(dbf::install_file_layer(*this)) {}

FaultyFiles::~FaultyFiles() { dbf::install_file_layer(below_); }

void FaultyFiles::arm(const Fault& fault) {
    fault_ = fault;
    seen_ = 0;
    fired_ = false;
}

const FaultyFiles::Fault* FaultyFiles::strikes(Call call) {
    if (!fault_ || fired_ || fault_->call != call || ++seen_ < fault_->nth) return nullptr;
    fired_ = true;
    return &*fault_;
}

int FaultyFiles::wrap(int code, std::unique_ptr<dbf::OpenFile>& file) {
    if (code == 0) file = std::make_unique<Faulty>(*this, std::move(file));
    return code;
}

int FaultyFiles::open(const std::string& path, dbf::File::Access access, dbf::File::Share share,
                      std::unique_ptr<dbf::OpenFile>& file) {
    return wrap(below_.open(path, access, share, file), file);
}

int FaultyFiles::create(const std::string& path, std::unique_ptr<dbf::OpenFile>& file) {
    return wrap(below_.create(path, file), file);
}

}  // namespace dbf_test
