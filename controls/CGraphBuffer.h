#pragma once
// The X-Y graph's data: every point added, and beside them a decimating
// buffer of 10000 buckets, so that a long series is drawn with one stroke
// per pixel column. Each time the buffer is full its resolution halves.
#include <cstdint>
#include <vector>

struct GraphPoint
{
    float x = 0;
    float y = 0;
};

struct GraphBucket
{
    std::int32_t count = 0;
    float meanX = 0;
    float minY = 0;
    float maxY = 0;
};

class CGraphBuffer
{
public:
    static constexpr int kBucketCount = 10000;

    CGraphBuffer();

    // Empties the points and zeroes the buckets (the list keeps its size).
    void Clear();
    void AddPoint(float x, float y);

    const std::vector<GraphPoint>& Points() const { return m_points; }
    const std::vector<GraphBucket>& Buckets() const { return m_buckets; }
    int CurrentBucket() const { return m_currentBucket; }
    int PointsPerBucket() const { return m_pointsPerBucket; }

private:
    void HalveResolution();

    std::vector<GraphPoint> m_points;
    std::vector<GraphBucket> m_buckets;
    int m_currentBucket = 0;
    int m_pointsPerBucket = 1;
};
