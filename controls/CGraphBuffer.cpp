#include "CGraphBuffer.h"

#include <algorithm>

CGraphBuffer::CGraphBuffer()
    : m_buckets(kBucketCount)
{
}

void CGraphBuffer::Clear()
{
    m_points.clear();
    std::fill(m_buckets.begin(), m_buckets.end(), GraphBucket{});
    m_currentBucket = 0;
    m_pointsPerBucket = 1;
}

void CGraphBuffer::AddPoint(float x, float y)
{
    m_points.push_back(GraphPoint{x, y});

    if (m_buckets[static_cast<std::size_t>(m_currentBucket)].count >= m_pointsPerBucket) {
        ++m_currentBucket;
        if (m_currentBucket == kBucketCount)
            HalveResolution();
    }

    GraphBucket& bucket = m_buckets[static_cast<std::size_t>(m_currentBucket)];
    const auto n = static_cast<float>(bucket.count);
    bucket.meanX = (n * bucket.meanX + x) / (n + 1);
    if (bucket.count == 0) {
        bucket.minY = y;
        bucket.maxY = y;
    } else {
        bucket.minY = std::min(bucket.minY, y);
        bucket.maxY = std::max(bucket.maxY, y);
    }
    ++bucket.count;
}

void CGraphBuffer::HalveResolution()
{
    constexpr int half = kBucketCount / 2;
    for (int i = 0; i < half; ++i) {
        const GraphBucket a = m_buckets[static_cast<std::size_t>(2 * i)];
        const GraphBucket b = m_buckets[static_cast<std::size_t>(2 * i + 1)];
        GraphBucket merged;
        merged.count = a.count + b.count;
        merged.meanX = merged.count > 0 ? (static_cast<float>(a.count) * a.meanX + static_cast<float>(b.count) * b.meanX) /
                                              static_cast<float>(merged.count)
                                        : 0.0f;
        merged.minY = std::min(a.minY, b.minY);
        merged.maxY = std::max(a.maxY, b.maxY);
        m_buckets[static_cast<std::size_t>(i)] = merged;
    }
    std::fill(m_buckets.begin() + half, m_buckets.end(), GraphBucket{});
    m_currentBucket = half;
    m_pointsPerBucket = m_buckets[0].count;
}
