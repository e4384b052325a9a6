#include "effects/masks/pixelorder.h"

#include "platform/arith.h"
#include "effects/masks/drawsift.h"
#include "effects/masks/firstdraws.h"
#include "effects/masks/pixeldraws.h"
#include "effects/masks/randomgen.h"
#include "effects/bitmap/dispatch.h"

#include <algorithm>
#include <bit>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>

namespace {

constexpr int lanes = 8;
constexpr pixeldraws::LanePowers<lanes> powers = pixeldraws::lanePowers<lanes>();

// The generator's draws of a block in eight independent lanes, each moving on by eight steps.
void drawBlockPlain(uint32_t seed, uint32_t n, uint32_t* states, uint32_t* cells, int count)
{
    uint32_t lane[lanes];
    for (int j = 0; j < lanes; ++j)
        lane[j] = seed * powers.mul[j] + powers.add[j];
    for (int i = 0; i < count; i += lanes)
        for (int j = 0; j < lanes; ++j) {
            states[i + j] = lane[j];
            cells[i + j] = uint32_t((uint64_t(lane[j]) * n) >> 32);
            lane[j] = lane[j] * powers.mul[lanes - 1] + powers.add[lanes - 1];
        }
}

void fillScalar(LuxDispatch& d)
{
    d.drawBlock = drawBlockPlain;
    d.firstDraws = firstdraws::firstDrawsPlain;
}

void fillAvx2(LuxDispatch& d)
{
    d.drawBlock = pixeldraws::avx2::drawBlock;
    d.firstDraws = firstdraws::avx2::firstDraws;
}

[[maybe_unused]] const bool filled = addDispatchFill({.scalar = fillScalar, .avx2 = fillAvx2});

// The holds, under one lock with every drawing thread's parked and done flags and the levels
// the orders have published.
struct FrameHolds {
    std::mutex lock;
    std::condition_variable changed;
    int frames = 0;
    std::atomic<bool> held{false}; // frames > 0, read by the threads without the lock
};

// Never destroyed: a thread still drawing at exit is stopped through it by the order's destructor.
FrameHolds& frameHolds()
{
    static FrameHolds* holds = new FrameHolds;
    return *holds;
}

void addHold(FrameHolds& h, int count)
{
    h.frames += count;
    h.held.store(h.frames > 0, std::memory_order_relaxed);
}

// The step of a cell. Steps are written by one thread at a time and read by frames meanwhile,
// so the words are read and written whole, as atomics.
void setStep(uint64_t* words, uint32_t cell, uint8_t step)
{
    std::atomic_ref<uint64_t> word(words[cell / 8]);
    uint64_t value = word.load(std::memory_order_relaxed);
    uint8_t bytes[8];
    std::memcpy(bytes, &value, 8);
    bytes[cell % 8] = step;
    std::memcpy(&value, bytes, 8);
    word.store(value, std::memory_order_relaxed);
}

} // namespace

// An order drawn so far. The cells found before `published` rose above P hold their final
// steps, and seedAt[P] is final, for every P below it.
struct PixelOrder::Drawn {
    uint32_t n = 0;
    uint32_t lateCells = 0; // left to be found without drawing
    uint32_t seed = 0;  // state of the scan
    uint32_t found = 0; // distinct cells known so far
    int level = 0;      // the least P whose chosen count is above found (101: none)
    std::atomic<int> published{0};
    std::vector<uint64_t> steps;
    std::vector<uint64_t> seen;   // one bit per cell; the bits past the last cell are set
    std::vector<uint64_t> filled; // one bit per word of seen: set once the word is full
    std::vector<uint32_t> pending; // the cells found at the current level, their steps not yet written
    bool tail = false;            // most cells seen: filled is kept and read first
    std::array<uint32_t, 101> chosen{};
    std::array<uint32_t, 101> seedAt{};
    // The late cells by their first draw: (draws from lateSeed less one) << 32 | cell.
    std::vector<uint64_t> lateHits;
    size_t lateTaken = 0;
    uint32_t lateSeed = 0;

    Drawn(uint32_t cells, uint32_t lateCount)
        : n(cells)
        , lateCells(std::min(lateCount, cells))
    {
    }
    void layOut();
    void publish(int reached);
    void extend(uint32_t k, Ahead* yieldingJob);
    void draw(uint32_t k, Ahead* yieldingJob);
    void writePending(size_t count, int step);
    void layOutLate();
    void takeLate(uint32_t k);
    Chosen choice(int P)
    {
        Chosen c{{}, seedAt[size_t(P)]};
        c.steps.m_words = steps.data();
        return c;
    }
};

struct PixelOrder::Ahead {
    uint32_t n = 0;
    std::unique_ptr<Drawn> order; // extended by a frame only while the thread is parked
    bool parked = false;          // under the holds' lock
    bool done = false;            // under the holds' lock
    bool failed = false;          // no memory for the order: done without it
    std::atomic<bool> stop{false};
    std::unique_ptr<DrawSifter> sifter; // shares the late sift; started and stopped by the thread
    std::thread thread;

    // Waits while something holds (or until stopped), after telling the frames the order is
    // theirs to extend.
    void park()
    {
        FrameHolds& h = frameHolds();
        std::unique_lock<std::mutex> guard(h.lock);
        parked = true;
        h.changed.notify_all();
        h.changed.wait(guard, [&] { return h.frames == 0 || stop.load(std::memory_order_relaxed); });
        parked = false;
    }
};

PixelOrderFrameHold::PixelOrderFrameHold()
{
    FrameHolds& h = frameHolds();
    const std::lock_guard<std::mutex> guard(h.lock);
    addHold(h, 1);
}

PixelOrderFrameHold::~PixelOrderFrameHold()
{
    FrameHolds& h = frameHolds();
    {
        const std::lock_guard<std::mutex> guard(h.lock);
        addHold(h, -1);
    }
    h.changed.notify_all();
}

namespace {

uint64_t loadWord(const uint64_t* words, size_t w)
{
    return std::atomic_ref<const uint64_t>(words[w]).load(std::memory_order_relaxed);
}

// Bytes first .. first + count - 1 (within one word) of word w.
void copyPart(const uint64_t* words, size_t w, size_t first, size_t count, uint8_t* out)
{
    const uint64_t word = loadWord(words, w);
    uint8_t bytes[8];
    std::memcpy(bytes, &word, 8);
    std::memcpy(out, bytes + first, count);
}

} // namespace

// The part of a word before the first whole one, the whole words, then the part after them.
void PixelOrder::Steps::copy(size_t from, size_t count, uint8_t* out) const
{
    if (from % 8) {
        const size_t part = std::min(8 - from % 8, count);
        copyPart(m_words, from / 8, from % 8, part, out);
        out += part;
        from += part;
        count -= part;
    }
    const size_t first = from / 8, whole = count / 8;
    for (size_t w = 0; w < whole; ++w) {
        const uint64_t word = loadWord(m_words, first + w);
        std::memcpy(out + 8 * w, &word, 8);
    }
    if (count % 8)
        copyPart(m_words, first + whole, 0, count % 8, out + 8 * whole);
}

uint32_t PixelOrder::lateCellsFor(uint32_t n)
{
    // Finding a cell's first draw costs about 2^32 / n steps, drawing on costs n / left draws
    // each: the search pays once left < n^2 / 2^32 times the ratio of the two costs, about a
    // quarter with eight lanes a step (bench_generators' PixelOrder runs), a thirty-second without.
    const uint64_t share = luxDispatch().level >= SimdLevel::Avx2 ? 4 : 32;
    return uint32_t(std::min<uint64_t>(n, uint64_t(n) * n / (uint64_t(1) << 32) / share));
}

uint32_t PixelOrder::chosenAt(uint32_t n, int P)
{
    return uint32_t(std::min<int64_t>(RoundHalfEven(double(n) * P / 100), n));
}

void PixelOrder::Drawn::layOut()
{
    seed = n;
    found = 0;
    steps.assign((size_t(n) + 7) / 8, ~uint64_t(0)); // every step notReached
    seen.assign((size_t(n) + 63) / 64, 0);
    if (n % 64)
        seen.back() = ~uint64_t(0) << (n % 64);
    filled.assign((seen.size() + 63) / 64, 0);
    tail = false;
    for (int P = 0; P <= 100; ++P) {
        chosen[size_t(P)] = PixelOrder::chosenAt(n, P);
        seedAt[size_t(P)] = n; // until the draw that completes P's cells is made
    }
    level = 0;
    while (level <= 100 && chosen[size_t(level)] == 0)
        ++level;
    uint32_t most = 0;
    for (int P = 1; P <= 100; ++P)
        most = std::max(most, chosen[size_t(P)] - chosen[size_t(P - 1)]);
    pending.resize(most);
}

// Writes the steps of the first `count` pending cells. Written a level at a time, apart from
// the draws, the writes to the frame-sized steps overlap one another's cache misses.
void PixelOrder::Drawn::writePending(size_t count, int step)
{
    constexpr size_t ahead = 16;
    const uint32_t* cells = pending.data();
    uint64_t* const words = steps.data();
    for (size_t i = 0; i < count; ++i) {
        if (i + ahead < count)
            __builtin_prefetch(words + cells[i + ahead] / 8, 1);
        setStep(words, cells[i], uint8_t(step));
    }
}

// Makes the steps below `reached` readable; frames waiting for them are woken.
void PixelOrder::Drawn::publish(int reached)
{
    FrameHolds& h = frameHolds();
    {
        const std::lock_guard<std::mutex> guard(h.lock);
        published.store(reached, std::memory_order_release);
    }
    h.changed.notify_all();
}

// Extends the order to k cells: by drawing up to the late cells, then from their first draws.
void PixelOrder::Drawn::extend(uint32_t k, Ahead* yieldingJob)
{
    const uint32_t lateFrom = n - lateCells;
    if (found < std::min(k, lateFrom))
        draw(std::min(k, lateFrom), yieldingJob);
    if (found >= k || found < lateFrom)
        return; // done, or stopped
    if (lateTaken == 0 && lateHits.empty())
        layOutLate();
    takeLate(k);
}

// The cells not seen yet, sorted by their first draw from the current state. Two threads share
// the search where it is long enough to be worth one.
void PixelOrder::Drawn::layOutLate()
{
    std::vector<uint32_t> cells;
    cells.reserve(n - found);
    for (size_t w = 0; w < seen.size(); ++w)
        for (uint64_t unseen = ~seen[w]; unseen; unseen &= unseen - 1)
            cells.push_back(uint32_t(w * 64 + size_t(std::countr_zero(unseen))));
    std::vector<uint32_t> draws(cells.size());
    const auto firstDraws = luxDispatch().firstDraws;
    const uint32_t from = seed;
    const size_t half = cells.size() / 2;
    const uint64_t states = (uint64_t(1) << 32) / n * cells.size();
    std::thread helper;
    if (states >= (uint64_t(1) << 19)) {
        try {
            helper = std::thread([&] { firstDraws(from, n, cells.data() + half, cells.size() - half, draws.data() + half); });
        } catch (const std::system_error&) {
        }
    }
    firstDraws(from, n, cells.data(), helper.joinable() ? half : cells.size(), draws.data());
    if (helper.joinable())
        helper.join();
    lateHits.resize(cells.size());
    for (size_t i = 0; i < cells.size(); ++i)
        lateHits[i] = uint64_t(draws[i]) << 32 | cells[i];
    std::sort(lateHits.begin(), lateHits.end());
    lateSeed = from;
}

// Takes the late cells in the order of their first draws until k cells are found, as drawing
// would have found them.
void PixelOrder::Drawn::takeLate(uint32_t k)
{
    const int before = level;
    while (found < k && lateTaken < lateHits.size()) {
        const uint64_t hit = lateHits[lateTaken++];
        const uint32_t cell = uint32_t(hit);
        seed = advanceSeed(lateSeed, (hit >> 32) + 1);
        seen[cell / 64] |= uint64_t(1) << (cell % 64);
        setStep(steps.data(), cell, uint8_t(level));
        ++found;
        while (level <= 100 && chosen[size_t(level)] == found)
            seedAt[size_t(level++)] = seed;
    }
    if (level != before)
        publish(level);
}

// Draws until k distinct cells have come up. The draws are made a run at a time and sifted (see
// drawsift.h): first through the seen bits, then, once all but a 256th of the cells are seen,
// through the bits of the words not yet full, 64 times fewer than the cells' and so in the
// nearest cache. The draws kept are examined in order, a cell met twice in a run counting once.
// Once an eighth of the cells are left, where the order's thread has a sifter, the two threads
// share the sift of the runs and this one examines them in order. The states kept are
// those of the draws that completed each progress's cells, so the result is as if drawn one by
// one. On the thread (yieldingJob set) the state is written back between runs whenever
// something holds, and read again after it: a frame may have drawn on meanwhile.
void PixelOrder::Drawn::draw(uint32_t k, Ahead* yieldingJob)
{
    uint64_t* const seenBits = seen.data();
    uint64_t* const filledBits = filled.data();
    uint32_t f = found;
    uint32_t s = seed;
    int l = level;
    bool late = tail;
    // Cells found before this count get the step `l`.
    uint32_t nextCount = l <= 100 ? chosen[size_t(l)] : UINT32_MAX;
    DrawSifter* const sifter = yieldingJob ? yieldingJob->sifter.get() : nullptr;
    alignas(32) uint32_t kept[drawsift::block];
    bool shared = false; // the sifter has runs from s, the next of them `run`
    uint32_t run = 0;
    uint32_t* const pendingCells = pending.data();
    size_t pendingCount = 0; // cells found at level l
    const FrameHolds& holds = frameHolds();
    while (f < k) {
        if (yieldingJob && (holds.held.load(std::memory_order_relaxed) ||
                            yieldingJob->stop.load(std::memory_order_relaxed))) {
            if (shared)
                sifter->stop(); // frames drawing meanwhile move the state on
            shared = false;
            writePending(pendingCount, l);
            pendingCount = 0;
            found = f;
            seed = s;
            level = l;
            tail = late;
            if (yieldingJob->stop.load(std::memory_order_relaxed))
                return;
            yieldingJob->park();
            f = found;
            s = seed;
            l = level;
            late = tail;
            nextCount = l <= 100 ? chosen[size_t(l)] : UINT32_MAX;
            continue;
        }
        if (!shared && sifter && uint64_t(n - f) * 8 < n) {
            sifter->start(s, n, seenBits, filledBits, late);
            shared = true;
            run = 0;
        }
        const uint32_t* states = kept;
        drawsift::Sifted sifted{};
        if (shared) {
            const DrawSifter::Run taken = sifter->take(run);
            states = taken.states;
            sifted = taken.sifted;
        } else {
            sifted = drawsift::sift(s, n, drawsift::block, late ? filledBits : seenBits, late, kept);
        }
        const int before = l;
        for (size_t j = 0; j < sifted.kept; ++j) {
            const uint32_t state = states[j];
            const uint32_t cell = uint32_t((uint64_t(state) * n) >> 32);
            const uint64_t bit = uint64_t(1) << (cell % 64);
            // Written whole, as an atomic: the sifter may be reading the word.
            std::atomic_ref<uint64_t> wordRef(seenBits[cell / 64]);
            uint64_t word = wordRef.load(std::memory_order_relaxed);
            if (word & bit)
                continue; // met earlier in this run, or a seen cell of a word not full
            word |= bit;
            wordRef.store(word, std::memory_order_relaxed);
            if (late && word == ~uint64_t(0)) {
                std::atomic_ref<uint64_t> filledRef(filledBits[cell / 4096]);
                filledRef.store(filledRef.load(std::memory_order_relaxed) | uint64_t(1) << (cell / 64 % 64),
                                std::memory_order_relaxed);
            }
            pendingCells[pendingCount++] = cell;
            if (++f == nextCount) {
                // This draw completes the cells of every progress whose count it reaches.
                writePending(pendingCount, l);
                pendingCount = 0;
                while (l <= 100 && chosen[size_t(l)] == f)
                    seedAt[size_t(l++)] = state;
                nextCount = l <= 100 ? chosen[size_t(l)] : UINT32_MAX;
            }
            if (f == k) {
                s = state;
                break;
            }
        }
        if (f < k)
            s = sifted.last;
        if (shared)
            sifter->release(run++);
        if (l != before)
            publish(l);
        if (!late && uint64_t(n - f) * 256 < n) {
            // The sifter reads only the seen bits until told otherwise.
            late = true;
            for (size_t w = 0; w < seen.size(); ++w)
                if (seenBits[w] == ~uint64_t(0))
                    filledBits[w / 64] |= uint64_t(1) << (w % 64);
            if (shared)
                sifter->siftWords();
        }
    }
    if (shared)
        sifter->stop();
    writePending(pendingCount, l);
    found = f;
    seed = s;
    level = l;
    tail = late;
}

PixelOrder::PixelOrder(LateCells lateCells)
    : m_lateCells(lateCells)
{
}

PixelOrder::~PixelOrder()
{
    stopAhead();
}

void PixelOrder::prepareAhead(uint32_t n)
{
    if (n == 0 || (m_drawn && m_drawn->n == n && m_drawn->found == n) || (m_ahead && m_ahead->n == n))
        return;
    stopAhead();
    auto job = std::make_unique<Ahead>();
    job->n = n;
    job->order = std::make_unique<Drawn>(n, m_lateCells(n));
    Ahead* running = job.get();
    try {
        job->thread = std::thread([running] {
            // Laid out here, not in the set-up: the frames wait for the first cells anyway.
            bool failed = false;
            try {
                running->sifter = DrawSifter::ifSecondProcessor();
                running->order->layOut();
                running->order->publish(running->order->level);
                running->order->extend(running->n, running);
            } catch (const std::bad_alloc&) {
                failed = true;
            }
            running->sifter.reset();
            FrameHolds& h = frameHolds();
            {
                const std::lock_guard<std::mutex> guard(h.lock);
                running->failed = failed;
                running->done = true;
            }
            h.changed.notify_all();
        });
    } catch (const std::system_error&) {
        return; // no thread to be had: the frames draw the order themselves
    }
    m_ahead = std::move(job);
}

void PixelOrder::stopAhead()
{
    if (!m_ahead)
        return;
    FrameHolds& h = frameHolds();
    {
        const std::lock_guard<std::mutex> guard(h.lock);
        m_ahead->stop.store(true, std::memory_order_relaxed);
    }
    h.changed.notify_all();
    if (m_ahead->thread.joinable())
        m_ahead->thread.join();
    m_ahead.reset();
}

// The finished order of the thread replaces this one.
void PixelOrder::adoptAhead()
{
    m_ahead->thread.join();
    if (!m_ahead->failed)
        m_drawn = std::move(m_ahead->order);
    m_ahead.reset();
}

PixelOrder::Chosen PixelOrder::choose(uint32_t n, int P)
{
    P = std::clamp(P, 0, 100);
    if (m_ahead && m_ahead->n == n) {
        // Waits until the thread has drawn the cells of P, or is done, or is held: then this
        // frame draws on the held order itself, holding it too so that it stays put meanwhile.
        Ahead& job = *m_ahead;
        Drawn& order = *job.order;
        FrameHolds& h = frameHolds();
        bool done = false, drawHere = false;
        {
            std::unique_lock<std::mutex> guard(h.lock);
            h.changed.wait(guard, [&] {
                return job.done || job.parked || order.published.load(std::memory_order_relaxed) > P;
            });
            done = job.done;
            drawHere = !done && order.published.load(std::memory_order_relaxed) <= P;
            if (drawHere)
                addHold(h, 1);
        }
        if (!done) {
            if (drawHere) {
                order.extend(chosenAt(n, P), nullptr);
                order.publish(order.level);
                {
                    const std::lock_guard<std::mutex> guard(h.lock);
                    addHold(h, -1);
                }
                h.changed.notify_all();
            }
            return order.choice(P);
        }
        adoptAhead();
    }
    if (!m_drawn || m_drawn->n != n) {
        m_drawn = std::make_unique<Drawn>(n, m_lateCells(n));
        m_drawn->layOut();
    }
    if (m_drawn->level <= P) {
        m_drawn->extend(chosenAt(n, P), nullptr);
        m_drawn->publish(m_drawn->level);
    }
    return m_drawn->choice(P);
}

void PixelOrder::release()
{
    stopAhead();
    m_drawn.reset();
}

PixelOrder& pixelOrder()
{
    static PixelOrder order;
    return order;
}

void releasePixelOrderCache()
{
    pixelOrder().release();
}
