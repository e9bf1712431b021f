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
%   Speed: one pass writing the 2*M*N outputs; large outputs are written
%   with streaming stores. In GNU Octave, large new arrays live in 4 KiB
%   pages whose first touch costs more than the computation; starting Octave
%   with the environment setting
%
%      GLIBC_TUNABLES=glibc.malloc.hugetlb=1 octave
%
%   lets the C library back them with transparent huge pages, which makes
%   large calls several times faster (this holds for any large result,
%   including Octave's own implicit expansion).
%
%   Example:
%      [dx, dy] = pairwise_offsets([0 0; 1 1], [3 4])   % dx = [3; 2], dy = [4; 3]
%
%   See also FILL_NAN.
