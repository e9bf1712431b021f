%FILL_NAN  Copy of an array with every NaN replaced by a fill value.
%   Y = FILL_NAN(X, V) returns an array of the size and class of X (single
%   or double, any number of dimensions, empty included) in which every NaN
%   element of X is replaced by V, and every other element is copied bit for
%   bit: infinities, -0 and subnormal numbers are kept. Every NaN counts,
%   whatever its sign or payload, quiet or signalling.
%
%   V is the first element of a real numeric or logical array, converted to
%   the class of X as assignment would convert it (a double V is rounded to
%   single for single X; integers and logicals convert by value). A V of the
%   class of X keeps its own bits, so a NaN V leaves NaN with V's bits. V
%   may be empty when X holds no NaN.
%
%   The copy runs in parallel with OpenMP: each thread copies one contiguous
%   part of X. The number of threads is OpenMP's default (the
%   OMP_NUM_THREADS environment setting); the result does not depend on it.
%
%   Errors:
%      'Two input required.' / 'One output required.'  wrong argument counts
%      data:TypeError      X is neither single nor double
%      fill_nan:notReal    X is complex or sparse
%      fill_nan:badFill    V is not real numeric or logical (char, cell,
%                          struct, complex, sparse)
%      fill_nan:emptyFill  V is empty but X holds NaN
%
%   Speed: one streaming pass at the machine's memory bandwidth.
%   On Linux a new page of memory costs a page fault at its first write, which
%   for 4 KiB pages takes longer than filling the page. The function asks for
%   huge pages for its own large results, but GNU Octave allocates every
%   other array (including the copy it makes of a MEX function's result)
%   in 4 KiB pages unless it is started with the environment setting
%
%      GLIBC_TUNABLES=glibc.malloc.hugetlb=1 octave
%
%   which lets the C library use transparent huge pages for large arrays and
%   makes large calls, this one and Octave's own array operations alike,
%   several times faster.
%
%   Example:
%      y = fill_nan([1 NaN 3], 0)            % [1 0 3]
%      y = fill_nan(single([NaN 2]), 0.1)    % single([0.1 2])
%
%   See also ISNAN, PAIRWISE_OFFSETS.
