%PAIR_BLOCKS3  Blocks that couple the centres of every pair of N Gaussians.
%   K = PAIR_BLOCKS3(U, V, W, A) assembles the symmetric 3N-by-3N matrix K of
%   3-by-3 blocks from M samples of N components. Row i of each input is
%   sample i, column j is component j; k_ij = [U(i,j) V(i,j) W(i,j)] is the
%   3-vector and A(i,j) the value of component j at sample i. For j < k the
%   block rows 3j-2:3j, columns 3k-2:3k (1-based) are
%
%      sum over i of  k_ij' * k_ik * (A(i,k) * 2*A(i,j))
%
%   block (k, j) is its exact transpose and the diagonal blocks are zero.
%   With U, V, W the derivative components and A the values of N Gaussians
%   at the samples, these are the blocks of the Hessian of a sum of squared
%   residuals that couple two different centres.
%
%   Inputs (all real double):
%      U       M-by-N; its size gives the sample count M and the number of
%              components N
%      V, W, A at least M*N elements each, laid out like U
%
%   Each entry is computed as sum(((k_ij(r) * (A(i,k) * (A(i,j)+A(i,j))))
%   * k_ik(c))) with every product rounded on its own (no fused
%   multiply-add) and the terms added in increasing sample order, so the
%   result is the same bit for bit on every platform and processor. NaN and
%   infinities follow IEEE arithmetic: a NaN in U(i,j) fills row 3j-2 and
%   column 3j-2 of K outside the diagonal block, one in A(i,j) the whole
%   block row and column j. N = 0 gives a 0-by-0 result; N = 1 or M = 0 a
%   zero result, and then V, W and A are not read.
%
%   Errors:
%      'Four input required.' / 'One output required.'  wrong argument counts
%      pair_blocks3:notRealDouble   an input is not a real double array
%      pair_blocks3:tooFewElements  V, W or A holds fewer than M*N elements
%      pair_blocks3:tooLarge        N is too large for the 3N-by-3N result
%
%   Example:
%      K = pair_blocks3([1 4], [2 5], [3 6], [1 1])
%      % K(1:3, 4:6) is [8 10 12; 16 20 24; 24 30 36], K(4:6, 1:3) its
%      % transpose, and the diagonal blocks are zero.
%
%   See also ACCUM_DERIVS3, GAUSS3_EVAL.
