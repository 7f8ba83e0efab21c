// A single-producer, single-consumer ring of 16-bit samples. The producer is
// the audio callback: push() takes no lock, allocates nothing and makes no
// system call, and when the ring is full it drops the block and counts it
// rather than wait for the consumer.
#pragma once

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace scrivola {

class SampleRing {
public:
    // Room for at least `capacity` samples (rounded up to a power of two).
    explicit SampleRing(std::size_t capacity)
        : capacity_(std::bit_ceil(std::max<std::size_t>(capacity, 2))),
          samples_(std::make_unique<std::int16_t[]>(capacity_)) {}

    SampleRing(const SampleRing&) = delete;
    SampleRing& operator=(const SampleRing&) = delete;

    std::size_t capacity() const { return capacity_; }

    // Producer: appends all `count` samples, or none when they do not fit.
    bool push(const std::int16_t* data, std::size_t count) noexcept {
        const std::uint64_t write = write_.load(std::memory_order_relaxed);
        const std::uint64_t read = read_.load(std::memory_order_acquire);
        if (count > capacity_ - static_cast<std::size_t>(write - read)) {
            dropped_.store(dropped_.load(std::memory_order_relaxed) + count,
                           std::memory_order_relaxed);
            return false;
        }
        const std::size_t start = static_cast<std::size_t>(write) & (capacity_ - 1);
        const std::size_t first = std::min(count, capacity_ - start);
        std::copy_n(data, first, samples_.get() + start);
        std::copy_n(data + first, count - first, samples_.get());
        write_.store(write + count, std::memory_order_release);
        return true;
    }

    // Consumer: moves up to `max` of the oldest samples to `out`; returns how
    // many.
    std::size_t pop(std::int16_t* out, std::size_t max) noexcept {
        const std::uint64_t read = read_.load(std::memory_order_relaxed);
        const std::uint64_t write = write_.load(std::memory_order_acquire);
        const std::size_t count = std::min(max, static_cast<std::size_t>(write - read));
        const std::size_t start = static_cast<std::size_t>(read) & (capacity_ - 1);
        const std::size_t first = std::min(count, capacity_ - start);
        std::copy_n(samples_.get() + start, first, out);
        std::copy_n(samples_.get(), count - first, out + first);
        read_.store(read + count, std::memory_order_release);
        return count;
    }

    // Samples the producer had to drop because the ring was full.
    std::uint64_t dropped() const { return dropped_.load(std::memory_order_relaxed); }

private:
    const std::size_t capacity_;
    std::unique_ptr<std::int16_t[]> samples_;
    // Running totals; the index into the ring is the total modulo capacity.
    alignas(64) std::atomic<std::uint64_t> write_{0};
    alignas(64) std::atomic<std::uint64_t> read_{0};
    std::atomic<std::uint64_t> dropped_{0};
};

}  // namespace scrivola
