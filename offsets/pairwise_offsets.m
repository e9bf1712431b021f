%PAIRWISE_OFFSETS  x and y offsets between every pair of points of two lists.
%   [DX, DY] = PAIRWISE_OFFSETS(P, Q) takes an M-by-2 list P and an N-by-2
%   list Q of 2-D points, x in the first column and y in the second, and
%   returns two M-by-N matrices of offsets from each point of P to each
%   point of Q:
%
%      DX(i, j) = Q(j, 1) - P(i, 1)
%      DY(i, j) = Q(j, 2) - P(i, 2)
%
%   Rows follow P and columns follow Q. Each entry is one IEEE double
%   subtraction, so the result equals Q(:, 1).' - P(:, 1) bit for bit;
%   NaN and infinities follow IEEE arithmetic (Inf - Inf is NaN). An empty
%   list (0-by-2) gives 0-by-N or M-by-0 outputs.
%
%   Inputs: P and Q real double arrays with exactly 2 columns, fewer than
%   2^31 rows each.
%
%   Errors:
%      'Two input parameters required.'            not two inputs
%      'Two output parameters required.'           not two outputs
%      'Only 2D point coordinates are supported.'  P or Q has not 2 columns
%      pairwise_offsets:notRealDouble              P or Q is not real double
%      pairwise_offsets:tooLarge                   2^31 rows or more
%
%   Speed: one pass writing the 2*M*N outputs, with streaming stores for
%   large outputs.
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
%      [dx, dy] = pairwise_offsets([0 0; 1 1], [3 4])   % dx = [3; 2], dy = [4; 3]
%
%   See also FILL_NAN.
