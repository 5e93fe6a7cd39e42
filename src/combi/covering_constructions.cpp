#include "combi/covering_constructions.h"

#include <algorithm>
#include <set>

namespace mvx {

namespace {

// The field of p^n elements (p prime, p^n at most 16), an element written as the integer whose
// base-p digits are its coefficients over GF(p), reduced by a monic irreducible polynomial.
class SmallField
{
public:
    // `modulus`: the coefficients of x^0..x^(n-1) of x^n - (their polynomial).
    SmallField(int p, int n, std::vector<int> lowCoefficients)
        : p_(p)
        , n_(n)
        , size_(1)
    {
        for (int i = 0; i < n; ++i)
            size_ *= p;
        mul_.assign(std::size_t(size_ * size_), 0);
        add_.assign(std::size_t(size_ * size_), 0);
        for (int a = 0; a < size_; ++a)
            for (int b = 0; b < size_; ++b) {
                const std::vector<int> da = digits(a), db = digits(b);
                std::vector<int> sum(std::size_t(n), 0);
                for (int i = 0; i < n; ++i)
                    sum[std::size_t(i)] = (da[std::size_t(i)] + db[std::size_t(i)]) % p;
                add_[std::size_t(a * size_ + b)] = value(sum);
                std::vector<int> product(std::size_t(2 * n), 0);
                for (int i = 0; i < n; ++i)
                    for (int j = 0; j < n; ++j)
                        product[std::size_t(i + j)] += da[std::size_t(i)] * db[std::size_t(j)];
                // x^n = lowCoefficients(x): fold the high powers down, highest first.
                for (int d = 2 * n - 1; d >= n; --d) {
                    const int c = product[std::size_t(d)] % p;
                    product[std::size_t(d)] = 0;
                    for (int i = 0; i < n; ++i)
                        product[std::size_t(d - n + i)] += c * lowCoefficients[std::size_t(i)];
                }
                for (int &c : product)
                    c %= p;
                product.resize(std::size_t(n));
                mul_[std::size_t(a * size_ + b)] = value(product);
            }
        inverse_.assign(std::size_t(size_), 0);
        negative_.assign(std::size_t(size_), 0);
        for (int a = 0; a < size_; ++a)
            for (int b = 0; b < size_; ++b) {
                if (mul(a, b) == 1)
                    inverse_[std::size_t(a)] = b;
                if (add(a, b) == 0)
                    negative_[std::size_t(a)] = b;
            }
    }

    int size() const { return size_; }
    int add(int a, int b) const { return add_[std::size_t(a * size_ + b)]; }
    int mul(int a, int b) const { return mul_[std::size_t(a * size_ + b)]; }
    int inverse(int a) const { return inverse_[std::size_t(a)]; }
    int negative(int a) const { return negative_[std::size_t(a)]; }
    int power(int a, int e) const
    {
        int r = 1;
        while (e-- > 0)
            r = mul(r, a);
        return r;
    }

private:
    std::vector<int> digits(int a) const
    {
        std::vector<int> d(std::size_t(n_), 0);
        for (int i = 0; i < n_; ++i, a /= p_)
            d[std::size_t(i)] = a % p_;
        return d;
    }
    int value(const std::vector<int> &d) const
    {
        int a = 0;
        for (int i = n_ - 1; i >= 0; --i)
            a = a * p_ + d[std::size_t(i)];
        return a;
    }

    int p_, n_, size_;
    std::vector<int> mul_, add_, inverse_, negative_;
};

// The images of the subline over GF(q) (with infinity) under every Möbius map z -> (az + b)/(cz + d)
// of the projective line over GF(q^2): points 0..q^2 - 1 the field's elements, q^2 infinity.
std::vector<PointSet> sublineImages(const SmallField &f, int q)
{
    const int infinity = f.size();
    std::vector<int> subline { infinity };
    for (int z = 0; z < f.size(); ++z)
        if (f.power(z, q) == z)
            subline.push_back(z);
    std::set<PointSet> blocks;
    for (int a = 0; a < f.size(); ++a)
        for (int b = 0; b < f.size(); ++b)
            for (int c = 0; c < f.size(); ++c)
                for (int d = 0; d < f.size(); ++d) {
                    if (f.add(f.mul(a, d), f.negative(f.mul(b, c))) == 0)
                        continue;
                    PointSet block = 0;
                    for (int z : subline) {
                        int image;
                        if (z == infinity) {
                            image = c == 0 ? infinity : f.mul(a, f.inverse(c));
                        } else {
                            const int below = f.add(f.mul(c, z), d);
                            image = below == 0 ? infinity : f.mul(f.add(f.mul(a, z), b), f.inverse(below));
                        }
                        block |= PointSet(1) << image;
                    }
                    blocks.insert(block);
                }
    return { blocks.begin(), blocks.end() };
}

// The Steiner quadruple system on 2v points from one on v (v even): each block in both copies of
// the points (i and v + i), and for each one-factor of the v points, every pair of it in the first
// copy with every pair of it in the second.
std::vector<PointSet> doubled(const std::vector<PointSet> &system, int v)
{
    std::vector<PointSet> result;
    for (PointSet block : system) {
        result.push_back(block);
        result.push_back(block << v);
    }
    // The round-robin one-factors: point v - 1 meets i, and i + j meets i - j (mod v - 1).
    const int n = v - 1;
    for (int i = 0; i < n; ++i) {
        std::vector<PointSet> pairs { (PointSet(1) << i) | (PointSet(1) << n) };
        for (int j = 1; j <= (v - 2) / 2; ++j)
            pairs.push_back((PointSet(1) << ((i + j) % n)) | (PointSet(1) << ((i - j + n) % n)));
        for (PointSet low : pairs)
            for (PointSet high : pairs)
                result.push_back(low | (high << v));
    }
    return result;
}

} // namespace

std::vector<PointSet> turanPairs(int v, int m)
{
    std::vector<PointSet> pairs;
    if (m < 3 || m > v || v > kMaxCoveringPoints)
        return pairs;
    // Point p goes to group p mod (m - 1): the groups differ by one point at most.
    const int groups = m - 1;
    for (int a = 0; a < v; ++a)
        for (int b = a + 1; b < v; ++b)
            if (a % groups == b % groups)
                pairs.push_back((PointSet(1) << a) | (PointSet(1) << b));
    return pairs;
}

std::vector<PointSet> steinerQuadrupleSystem(int v)
{
    switch (v) {
    case 4:
        return { PointSet(0xf) };
    case 8:
        return doubled(steinerQuadrupleSystem(4), 4);
    case 10:
        // GF(9) = GF(3)[x] / (x^2 + 1): x^2 = -1 = 2.
        return sublineImages(SmallField(3, 2, { 2, 0 }), 3);
    case 16:
        return doubled(steinerQuadrupleSystem(8), 8);
    case 20:
        return doubled(steinerQuadrupleSystem(10), 10);
    default:
        return {};
    }
}

std::vector<PointSet> inversivePlaneOfOrder4()
{
    // GF(16) = GF(2)[x] / (x^4 + x + 1): x^4 = x + 1.
    return sublineImages(SmallField(2, 4, { 1, 1, 0, 0 }), 4);
}

std::optional<std::vector<PointSet>> constructedDesign(int v, int k, int t, int m)
{
    if (m == 0)
        m = t;
    if (k == 2 && t == 2 && m >= 3 && m <= v)
        return turanPairs(v, m);
    if (m != t)
        return std::nullopt;
    if (k == 4 && t == 3 && (v == 4 || v == 8 || v == 10 || v == 16 || v == 20))
        return steinerQuadrupleSystem(v);
    if (k == 5 && t == 3 && v == 17)
        return inversivePlaneOfOrder4();
    return std::nullopt;
}

} // namespace mvx
