%NORMALITY_CHECK  Anderson-Darling test of a sorted sample against a given normal.
%   D = NORMALITY_CHECK(X, MU, SIGMA, ALPHA, ADCASE) tests whether the sample
%   X comes from the normal distribution with mean MU and standard deviation
%   SIGMA. D is 1 when the Anderson-Darling statistic exceeds the critical
%   value for test case ADCASE at significance level ALPHA (normality is
%   rejected), and 0 otherwise.
%
%   Inputs:
%      X       real double array, in ascending order. All elements are used,
%              in storage (column-major) order; the order is neither checked
%              nor changed, so sort an unordered sample first: sort(X(:)).
%      MU      real double scalar, the mean
%      SIGMA   real double scalar, the standard deviation
%      ALPHA   real double scalar, one of the seven significance levels
%              0.25, 0.15, 0.10, 0.05, 0.025, 0.01, 0.005 (to within 1e-10)
%      ADCASE  real double scalar, the test case, truncated toward zero to an
%              integer 0 to 4 (so 4.9 means 4 and -0.5 means 0)
%   Scalars may be arrays; their first element is used.
%
%   The statistic, with F(i) the normal distribution function at X(i) and
%   n = numel(X):
%
%      A = -n - sum((2*i - 1) .* (log(F(i)) + log(1 - F(n+1-i)))) / n
%
%   Case 3 multiplies A by (1 + 0.75/n + 2.25/n^2) and case 4 by
%   (1 + 0.6/n); cases 0 to 2 use A as it is. The critical values:
%
%      ADCASE  0.25   0.15   0.10   0.05   0.025  0.01   0.005
%        0     1.248  1.610  1.933  2.492  3.070  3.857  4.500
%        1     0.644  0.782  0.894  1.087  1.285  1.551  1.756
%        2     1.072  1.430  1.743  2.308  2.898  3.702  4.324
%        3     0.470  0.561  0.631  0.752  0.873  1.035  1.159
%        4     0.736  0.916  1.062  1.321  1.591  1.959  2.244
%
%   D is 1 only when A is strictly greater than the critical value. The
%   computation is done in double precision in a fixed order of operations,
%   so D is the same on every platform. Numerical conditions raise no error:
%   an empty X or a NaN gives A = NaN and D = 0; a value so far in a tail
%   that F is exactly 0 or 1 gives A = Inf and D = 1; SIGMA = 0 gives D = 1,
%   or D = 0 when some X equals MU.
%
%   Errors (the first four carry no identifier):
%      Five input required.             wrong number of inputs
%      One output required.             wrong number of outputs
%      'adCase' must be an integer between 0 and 4.
%                                       ADCASE outside 0 to 4, or NaN
%      Admissible 'alpha' values: 0.25,  0.15,  0.10,  0.05,  0.025, 0.01, 0.005
%                                       ALPHA not one of the seven levels
%      normality_check:notRealDouble    an input is not a real double array
%      normality_check:tooFewElements   MU, SIGMA, ALPHA or ADCASE is empty
%      normality_check:tooLarge         X has 2^31 or more elements
%      normality_check:outOfMemory      no memory for the n-element scratch
%   When both ADCASE and ALPHA are invalid, the ADCASE error is raised.
%
%   Example:
%      x = sort(10 + 2*randn(200, 1));
%      d = normality_check(x, 10, 2, 0.05, 0)    % 0 for most draws
%      d = normality_check(x, 12, 2, 0.05, 0)    % 1: the mean is off
%
%   See also SORT.
